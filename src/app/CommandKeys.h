#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The keys that click the line commands and the send commands of the main
// window (and the port switch and the help). None of them can be typed text: typed text goes to the box while
// the port is open, so the line commands sit on the function keys (alone
// and with Shift) the send commands and the port switch on Ctrl+Shift and a letter.
namespace commandkeys {

struct CommandKey {
    const char* name; // the command's objectName
    QKeySequence key;
};

// Every command that has a key, in the order of the strip.
const QList<CommandKey>& all();

// The key that takes the keyboard from the terminal window to the command
// strip (Escape there gives it back), as F10 leads to a menu bar.
inline QKeySequence stripKey()
{
    return QKeySequence(Qt::Key_F10);
}

// The key of a command; empty when it has none.
QKeySequence keyOf(const QString& commandName);

} // namespace commandkeys
