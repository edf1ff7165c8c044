#pragma once

#include <QObject>
#include <QTimer>

#include "core/Widgets.h"

class QBoxLayout;

// The status line every part writes to: the port lamp and labels (imgPort1,
// lblCport1, lblStatus1), the action line lblAction with its reset timer
// Timer2, the column counter lblMaxChar with the ruler Line1, the elapsed
// time lblElapsed, the date and time lblDate and lblTempo, and the receive
// and transmit lamps imgRX and imgTX. The widgets are made here; the main
// window places the row, the ruler goes on the desk.
class StatusPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kTwipsPerColumn = RulerLine::kTwipsPerColumn;

    explicit StatusPanel(QWidget* owner);

    PictureLamp* imgPort1;
    QLabel* lblCport1;
    QLabel* lblStatus1;
    QLabel* lblAction;
    QLabel* lblMaxChar;
    RulerLine* Line1;
    QLabel* lblElapsed;
    QLabel* lblDate;
    QLabel* lblTempo;
    PictureLamp* imgRX;
    PictureLamp* imgTX;
    QTimer Timer2;

    // The row of the status line, in its order (the ruler is not in it):
    // each reading in a sunken field of its own, so neighbouring texts
    // never run together.
    void addTo(QBoxLayout* row);

    // lblAction = text.
    void setAction(const QString& text);
    // lblAction = "Status: " + text and Timer2 on (blanks it two seconds later).
    void showEventText(const QString& text);
    // lblDate and lblTempo.
    void showDateTime(const QString& date, const QString& time);

    // The typing column back to its start: Line1 green and at its start
    // point, lblMaxChar green with caption "0".
    void resetColumn();
    // Only the ruler back to its start, green (the end step of transmissions).
    void resetRuler();
    // lblMaxChar shows a count.
    void showCount(int count);
    // lblMaxChar and Line1 in one colour.
    void setColumnColor(const QColor& color);
    // lblMaxChar alone.
    void setCounterColor(const QColor& color) { setMaxCharBackground(color); }
    QColor counterColor() const { return lblMaxChar->property("backColor").value<QColor>(); }
    void extendRuler() { Line1->extend(kTwipsPerColumn); }

    void setTxLit(bool lit) { imgTX->showPicture(lit ? 1 : 2); }
    void setRxLit(bool lit) { imgRX->showPicture(lit ? 1 : 2); }

    static QColor green() { return QColor(0x00FF00); }
    static QColor yellow() { return QColor(0xFFFF00); }
    static QColor red() { return QColor(0xFF0000); }

private:
    void setMaxCharBackground(const QColor& color);
};
