#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/Operations.h"

class CommandHost;
class CommandLabel;

// The commands that drive the interface box with its short control
// sequences, and dialling: CallNumber is the one dialler of the program,
// handed to every part that dials.
class LineCommands : public QObject {
    Q_OBJECT
public:
    LineCommands(CommandHost& host, TextSender sendTxt, TextDisplay showData, QObject* parent = nullptr);

    // Dials a number: SOH, the name shown in the window, then the number.
    // Numbers above 85 go out behind the dial prefix; local numbers (85 and
    // below) as their Str form.
    void CallNumber(const QString& CallNr, const QString& CallNm);
    Dialler dialler()
    {
        return [this](const QString& number, const QString& name) { CallNumber(number, name); };
    }

    // The text of the fox test line and of the RY test line.
    static const QString kFoxText;
    static const QString kRyText;

signals:
    // "Close" ended the connection (the broadcast commands come back).
    void connectionClosed();

private:
    // Adds a command that sends `sequence` while the port is open and then
    // shows `action`; `extra` runs after that.
    CommandLabel* addSequence(const QString& name, const QString& caption, const QString& toolTip,
                              const QString& sequence, const QString& action,
                              std::function<void()> extra = {});
    void LblCall_Click();
    void LblCloseConnection_Click();
    void lblTimeStamp_Click();
    // Sends a test line (behind the connection guard) and an empty line.
    void sendTestText(const QString& text);
    // The typing position back into the terminal window after a sent text.
    void focusTerminal();

    CommandHost& m_host;
    TextSender m_sendTxt;
    TextDisplay m_showData;
};
