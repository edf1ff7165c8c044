#include "link/TerminalText.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <algorithm>

TerminalText::TerminalText(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName("txtTerm");
    setAccessibleName("Terminal text");
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(11);
    setFont(font);
    // While the port is closed the user may edit the window like any text
    // box; the line text follows those edits.
    connect(this, &QPlainTextEdit::textChanged, this, &TerminalText::takeUserEdit);

    m_screenTimer.setSingleShot(true);
    m_screenTimer.setInterval(kScreenMs);
    connect(&m_screenTimer, &QTimer::timeout, this, &TerminalText::showPending);
}

QString TerminalText::screenForm(QStringView lineText)
{
    QString shown;
    shown.reserve(lineText.size());
    for (const QChar c : lineText) {
        if (c == QChar(13))
            shown += QChar(10);
        else if (c != QChar(10))
            shown += c;
    }
    return shown;
}

int TerminalText::screenLength(QStringView lineText)
{
    return int(lineText.size() - lineText.count(QChar(10)));
}

int TerminalText::documentLength() const
{
    return document()->characterCount() - 1; // without the closing paragraph mark
}

void TerminalText::removeFromDocument(int from, int count)
{
    if (count <= 0)
        return;
    m_updating = true;
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(from + count, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_updating = false;
}

void TerminalText::takeUserEdit()
{
    if (m_updating)
        return;
    m_text = toPlainText();
    m_text.replace(QChar(10), QStringLiteral("\r\n"));
}

void TerminalText::setLineText(const QString& text)
{
    m_screenTimer.stop();
    m_pendingScreen.clear();
    m_updating = true;
    m_text = text;
    setPlainText(screenForm(text));
    m_updating = false;
}

void TerminalText::dropHead(int count)
{
    count = std::min(count, lineLength());
    if (count <= 0)
        return;
    int shown = screenLength(QStringView(m_text).left(count));
    m_text.remove(0, count);
    const int fromDocument = std::min(shown, documentLength());
    removeFromDocument(0, fromDocument);
    m_pendingScreen.remove(0, shown - fromDocument);
}

void TerminalText::appendLineText(const QString& text, bool replaceLast)
{
    if (replaceLast && !m_text.isEmpty()) {
        // The last line character shows as one screen character unless it
        // is the invisible LF of a line end.
        if (m_text.back() != QChar(10)) {
            if (!m_pendingScreen.isEmpty())
                m_pendingScreen.chop(1);
            else
                removeFromDocument(documentLength() - 1, 1);
        }
        m_text.chop(1);
    }
    m_text += text;
    m_pendingScreen += screenForm(text);
    if (!m_screenTimer.isActive())
        m_screenTimer.start();
}

void TerminalText::showPending()
{
    m_screenTimer.stop();
    if (!m_pendingScreen.isEmpty()) {
        m_updating = true;
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(m_pendingScreen);
        m_pendingScreen.clear();
        m_updating = false;
    }
    moveCaretToEnd();
}

void TerminalText::moveCaretToEnd()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

void TerminalText::setZoom(double zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    showZoomedFont();
}

void TerminalText::showZoomedFont()
{
    QFont shown = font();
    const double points = shown.pointSizeF() > 0 ? shown.pointSizeF() : shown.pixelSize() * 72.0 / logicalDpiY();
    // Scaled down no further than the smallest size (a font chosen smaller
    // keeps its own size).
    if (m_zoom < 1.0 && points > 0)
        shown.setPointSizeF(std::max(std::min(points, kSmallestPoints), points * m_zoom));
    document()->setDefaultFont(shown);
}

void TerminalText::changeEvent(QEvent* event)
{
    // The text window gives the document its own font first.
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        showZoomedFont();
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
        else if (event->text().size() == 1)
            code = event->text().at(0).unicode();
        if (code >= 0 && m_keyHandler(code)) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
