#pragma once

#include <QObject>
#include <QString>

#include "app/TerminalContext.h"

class CommandLabel;
class frmTerminal;
class SoundEffects;

// The commands that drive the interface box with its short control
// sequences, and dialling (CallNumber), which the lists dial through too.
class LineCommands : public QObject {
    Q_OBJECT
public:
    LineCommands(TerminalContext& context, frmTerminal& terminal, SoundEffects& sounds);

    // Dials a number: SOH, the name shown in the window, then the number.
    // Numbers above 85 go out behind the dial prefix; local numbers (85 and
    // below) as their Str form.
    void CallNumber(const QString& CallNr, const QString& CallNm);

    // The text of the fox test line and of the RY test line.
    static const QString kFoxText;
    static const QString kRyText;

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

    TerminalContext& m_context;
    frmTerminal& m_terminal;
    SoundEffects& m_sounds;
};
