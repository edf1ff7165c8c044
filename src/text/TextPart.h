#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

struct TerminalContext;
class frmTerminal;
class frmCancelSend;
class TransmissionControl;
class ClipboardPaste;
class TextFileSender;
class KlklAnswer;

// The text part of the main window (owned by it): SendTxt, the paste with its preview, the
// text-file transmissions and the KLKL answer, with the cancel window they
// share.
class TextPart : public QObject {
    Q_OBJECT
public:
    TextPart(TerminalContext& context, frmTerminal& window);
    ~TextPart() override;

    // Sends a short text one character at a time with table B (SendTxt
    // column), after one carriage return, pausing CharDelay after each
    // character. Callers check the connection themselves.
    void SendTxt(const QString& text);

    frmCancelSend& cancelWindow() { return *m_cancelWindow; }
    TransmissionControl& control() { return *m_control; }
    ClipboardPaste& paste() { return *m_paste; }
    TextFileSender& files() { return *m_files; }
    KlklAnswer& klkl() { return *m_klkl; }

private:
    TerminalContext& m_context;
    frmTerminal& m_window;
    TransmissionControl* m_control;
    frmCancelSend* m_cancelWindow;
    ClipboardPaste* m_paste;
    TextFileSender* m_files;
    KlklAnswer* m_klkl;
};
