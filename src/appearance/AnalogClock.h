#pragma once

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <QWidget>

#include "appearance/ClockGeometry.h"

// A straight line on the window, the way the clock's hands are kept: its two
// points in twips of the window, width, colour and whether it shows.
class LineControl : public QObject {
    Q_OBJECT
public:
    LineControl(const QString& name, QObject* parent);

    void set(const clockhands::Hand& hand);
    void setVisible(bool visible) { m_visible = visible; }
    const clockhands::Hand& hand() const { return m_hand; }

    QPoint start() const { return m_hand.start; }
    QPoint end() const { return m_hand.end; }
    int width() const { return m_hand.width; }
    QColor colour() const { return m_hand.colour; }
    bool isVisible() const { return m_visible; }

private:
    clockhands::Hand m_hand;
    bool m_visible = false;
};

// The analogue clock on the desk: the round face (this widget, named Shape1)
// and the seconds, minutes and hours hands drawn over it. The hands show from
// the first DrawClock on.
class AnalogClock : public QWidget {
    Q_OBJECT
public:
    explicit AnalogClock(QWidget* desk);

    // The centre in twips of the window: the face's left plus half its width,
    // its top plus half its width.
    QPoint centreTwips() const;

    // Sets the three hands to the time of day and shows them.
    void DrawClock(const QDateTime& now);

    LineControl* lineSeconds2;
    LineControl* LineMinutes1;
    LineControl* LineHours1;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The box a hand covers on the face, in the face's pixels.
    QRect handBox(const clockhands::Hand& hand) const;
};
