#pragma once

#include <QObject>
#include <QString>

class CommandHost;
class CommandLabel;
class PunchPanel;

// The paper-tape puncher: the command "Puncher" (group "Tape"), which opens
// the puncher frame while a call is in progress; the frame's tape picture,
// which follows every edit of the text; "Punch", which letters the text
// and sends it to the box one character at a time; and "RSend Punch".
//
// The puncher mode costs nothing while the user thinks: the picture is
// redrawn from the text box's change signal, not by polling.
class PuncherPart : public QObject {
    Q_OBJECT
public:
    // Makes the commands and the frame (on the host's desk, hidden, at its
    // start-up place).
    explicit PuncherPart(CommandHost& host);

    // Starts the puncher mode: with a call in progress the frame opens with
    // an empty text box and a blank tape; without one, the connection guard.
    void lblPuncher_Click();
    // Letters the text of txtInput and sends it (punchSequence).
    void cmdPunch_Click();
    // Ends the puncher mode and hides the frame.
    void cmdEndPunch_Click();
    // Asks whether to send the broadcast texts to the puncher; sends nothing.
    void lblRSendToPunch_Click();

    // Draws `text` on the tape picture from PunchX on, then sets PunchX to 0.
    // Neither clears the picture nor changes the drawing width.
    void DrawPunchTape(const QString& text);

    // Sends a lettered sequence one character at a time, each followed by
    // the character delay, with the picture showing that character's glyph.
    // With the port closed the characters are dropped; when the line is lost
    // the rest is not sent. A second call while one runs is ignored.
    void punchSequence(const QString& sequence);

    bool modeRunning() const { return m_modeRunning; }
    bool punching() const { return m_punching; }

    PunchPanel* frmPunch;
    CommandLabel* lblPuncher;
    CommandLabel* lblRSendToPunch;

private:
    // The whole text of txtInput on the tape: feed holes, then the glyphs.
    void redrawTape();
    // Keeps the tape under the text box's cursor in view.
    void followCursor();

    CommandHost& m_host;
    bool m_modeRunning = false;
    bool m_punching = false;
};
