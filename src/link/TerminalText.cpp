#include "link/TerminalText.h"

#include <QKeyEvent>
#include <QTextCursor>

TerminalText::TerminalText(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName("txtTerm");
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(11);
    setFont(font);
}

void TerminalText::moveCaretToEnd()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

void TerminalText::keyPressEvent(QKeyEvent* event)
{
    if (m_keyHandler) {
        int code = -1;
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            code = 13;
        else if (event->key() == Qt::Key_Backspace)
            code = 8;
        else if (event->key() == Qt::Key_Tab)
            code = 9;
        else if (event->key() == Qt::Key_Escape)
            code = 27;
        else if (!event->text().isEmpty() && event->text().size() == 1)
            code = event->text().at(0).unicode();
        if (code >= 0 && m_keyHandler(code)) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
