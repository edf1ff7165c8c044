#include "app/CommandKeys.h"

namespace commandkeys {

const QList<CommandKey>& all()
{
    static const QList<CommandKey> keys = {
        {"lblOpen1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
        // The line: calling and the line state on F2 to F12 (F10 leads to
        // the command strip), the box's services and the test texts on
        // Shift and a function key.
        {"LblCall", QKeySequence(Qt::Key_F2)},
        {"LblCloseConnection", QKeySequence(Qt::Key_F3)},
        {"lblGoAhead", QKeySequence(Qt::Key_F4)},
        {"lblIAm", QKeySequence(Qt::Key_F5)},
        {"lblWerda", QKeySequence(Qt::Key_F6)},
        {"lblBell", QKeySequence(Qt::Key_F7)},
        {"lblZi", QKeySequence(Qt::Key_F8)},
        {"lblBu", QKeySequence(Qt::Key_F9)},
        {"lblCR", QKeySequence(Qt::Key_F11)},
        {"lblLineFeed", QKeySequence(Qt::Key_F12)},
        {"LblMsg", QKeySequence(Qt::SHIFT | Qt::Key_F2)},
        {"lblNexMessage", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
        {"lblCancelMsg", QKeySequence(Qt::SHIFT | Qt::Key_F4)},
        {"lblStatus", QKeySequence(Qt::SHIFT | Qt::Key_F5)},
        {"lblKonfig", QKeySequence(Qt::SHIFT | Qt::Key_F6)},
        {"lblTimeStamp", QKeySequence(Qt::SHIFT | Qt::Key_F7)},
        {"LblFox", QKeySequence(Qt::SHIFT | Qt::Key_F8)},
        {"LblRY", QKeySequence(Qt::SHIFT | Qt::Key_F9)},
        {"lblLoKal", QKeySequence(Qt::SHIFT | Qt::Key_F10)},
        {"lblLogbook", QKeySequence(Qt::SHIFT | Qt::Key_F11)},
        {"lblClear", QKeySequence(Qt::SHIFT | Qt::Key_F12)},
        // Sending.
        {"lblPaste", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
        {"lblSendText1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {"lblSendHeader", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
        {"lblSendHeadlines", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)},
        {"lblSendMessage", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
        {"lblKlKl", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)},
        {"lblAiuto", QKeySequence(Qt::Key_F1)},
    };
    return keys;
}

QKeySequence keyOf(const QString& commandName)
{
    for (const CommandKey& entry : all()) {
        if (commandName == QLatin1String(entry.name))
            return entry.key;
    }
    return QKeySequence();
}

} // namespace commandkeys
