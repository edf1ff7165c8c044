#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>

class CommandHost;
class QLabel;
class QPushButton;
class QSpinBox;

// The small window frmTapeSave: the scale of the picture (spnTapeScale),
// the size it comes to (lblTapeSize), and the commands to save it as SVG
// or PNG.
class TapeSaveWindow : public QDialog {
    Q_OBJECT
public:
    explicit TapeSaveWindow(QWidget* owner);
    // Shows the picture's size for a text at the chosen scale.
    void showSize(const QString& text);

    QSpinBox* spnTapeScale;
    QLabel* lblTapeSize;
    QPushButton* cmdSaveSvg;
    QPushButton* cmdSavePng;
    QPushButton* cmdTapeSaveClose;
};

// "Save Tape" (group "Tape"): saves the puncher's tape picture of the text
// in the puncher's text box, the whole tape, as an SVG drawing or a PNG
// picture at a chosen scale.
class TapeExportPart : public QObject {
    Q_OBJECT
public:
    // `tapeText` gives the text the puncher shows on its tape.
    TapeExportPart(CommandHost& host, std::function<QString()> tapeText, QObject* parent = nullptr);

    void lblSaveTape_Click();
    TapeSaveWindow* saveWindow() const { return m_window; }

private:
    void save(bool svg);

    CommandHost& m_host;
    std::function<QString()> m_tapeText;
    QPointer<TapeSaveWindow> m_window;
};
