#pragma once

#include <QObject>
#include <QString>

#include "core/Operations.h"

class CommandHost;
class frmCancelSend;
class TransmissionControl;
class ClipboardPaste;
class FileTransmission;
class KlklAnswer;

// The text transmissions of the program: SendTxt (the text sender handed to
// every part that sends a short text), the paste with its preview, the
// text-file transmissions and the KLKL answer, with the cancel window and
// the coordination they share. Their commands stand in the "Send" group and
// work only while the port is open.
class TextTransmissions : public QObject {
    Q_OBJECT
public:
    explicit TextTransmissions(CommandHost& host, QObject* parent = nullptr);
    ~TextTransmissions() override;

    // Sends a short text one character at a time with table B (SendTxt
    // column), after one carriage return, pausing CharDelay after each
    // character. Callers check the connection themselves.
    void SendTxt(const QString& text);
    TextSender textSender()
    {
        return [this](const QString& text) { SendTxt(text); };
    }
    // The automatic KLKL answer "\klkl.txt" (the receive path asks for it).
    void SendKLKL();

    frmCancelSend& cancelWindow() { return *m_cancelWindow; }
    TransmissionControl& control() { return *m_control; }
    ClipboardPaste& paste() { return *m_paste; }
    FileTransmission& files() { return *m_files; }
    KlklAnswer& klkl() { return *m_klkl; }

private:
    CommandHost& m_host;
    TransmissionControl* m_control;
    frmCancelSend* m_cancelWindow;
    ClipboardPaste* m_paste;
    FileTransmission* m_files;
    KlklAnswer* m_klkl;
};
