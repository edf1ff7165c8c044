#include "link/TerminalText.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

namespace {

// The terminal's scroll bar. A new line moves its handle a pixel or two;
// the bar then draws only where the handle was and where it is, not its
// whole length (the bar's ends change look only at the top and the end).
// While the bar follows arriving text at the end of the range, it draws
// at most every TerminalText::kScrollBarFollowMs: a steady line moves the
// handle with every batch, and nobody reads a scroll bar at that pace.
class HandleScrollBar : public QScrollBar {
public:
    explicit HandleScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
    {
        m_follow.setSingleShot(true);
        m_follow.setInterval(TerminalText::kScrollBarFollowMs);
        connect(&m_follow, &QTimer::timeout, this, [this] { drawChanges(); });
    }

protected:
    void sliderChange(SliderChange change) override
    {
        if (change == SliderOrientationChange || m_handle.isNull()) {
            QScrollBar::sliderChange(change);
            m_follow.stop();
            noteDrawn();
        } else if (value() == maximum() && !isSliderDown()) {
            if (!m_follow.isActive())
                m_follow.start();
        } else {
            m_follow.stop();
            drawChanges();
        }
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QScrollBar::resizeEvent(event);
        m_follow.stop();
        noteDrawn();
    }

private:
    // Redraws what changed since the bar was last drawn.
    void drawChanges()
    {
        QRegion changed;
        const QRect handle = handleRect();
        // The style draws the handle's edge a pixel or two around it.
        if (handle != m_handle)
            changed += m_handle.united(handle).adjusted(-2, -2, 2, 2);
        // An arrow looks different at its end of the range.
        if ((value() == minimum()) != m_atMinimum)
            changed += partRect(QStyle::SC_ScrollBarSubLine);
        if ((value() == maximum()) != m_atMaximum)
            changed += partRect(QStyle::SC_ScrollBarAddLine);
        update(changed);
        noteDrawn();
    }
    void noteDrawn()
    {
        m_handle = handleRect();
        m_atMinimum = value() == minimum();
        m_atMaximum = value() == maximum();
    }
    QRect partRect(QStyle::SubControl part) const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
    }
    QRect handleRect() const { return partRect(QStyle::SC_ScrollBarSlider); }
    QRect m_handle;
    bool m_atMinimum = true;
    bool m_atMaximum = true;
    QTimer m_follow;
};

} // namespace

TerminalText::TerminalText(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName("txtTerm");
    setAccessibleName("Terminal text");
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
    // The window and its frame cover every pixel they stand on, so a change
    // in them never draws the desk and the paper behind them again.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setVerticalScrollBar(new HandleScrollBar(this));
    // The window pages by a click beside the handle as before the new bar.
    connect(verticalScrollBar(), SIGNAL(actionTriggered(int)), this, SLOT(_q_verticalScrollbarActionTriggered(int)));
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(11);
    setFont(font);
    // While the port is closed the user may edit the window like any text
    // box; the line text follows those edits.
    connect(this, &QPlainTextEdit::textChanged, this, &TerminalText::takeUserEdit);

    m_screenTimer.setSingleShot(true);
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
    m_pendingHeadDrop = 0;
    m_pendingTailDrop = 0;
    m_piecesWaiting = 0;
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
    const int shown = screenLength(QStringView(m_text).left(count));
    m_text.remove(0, count);
    // From the screen with the next batch: what the document shows first,
    // then what is still waiting.
    const int fromDocument = std::min(shown, documentKept());
    m_pendingHeadDrop += fromDocument;
    m_pendingScreen.remove(0, shown - fromDocument);
    scheduleBatch();
}

void TerminalText::scheduleBatch()
{
    if (m_screenTimer.isActive())
        return;
    if (m_streaming && m_sinceBatch.hasExpired(2 * kStreamingScreenMs))
        m_streaming = false;
    m_screenTimer.start(m_streaming ? kStreamingScreenMs : kScreenMs);
}

void TerminalText::appendLineText(const QString& text, bool replaceLast)
{
    if (replaceLast && !m_text.isEmpty()) {
        // The last line character shows as one screen character unless it
        // is the invisible LF of a line end.
        if (m_text.back() != QChar(10)) {
            if (!m_pendingScreen.isEmpty())
                m_pendingScreen.chop(1);
            else if (documentKept() > 0)
                ++m_pendingTailDrop;
        }
        m_text.chop(1);
    }
    m_text += text;
    m_pendingScreen += screenForm(text);
    ++m_piecesWaiting;
    scheduleBatch();
}

void TerminalText::showPending()
{
    m_screenTimer.stop();
    if (!hasPending()) {
        moveCaretToEnd();
        return;
    }
    const qsizetype batchCharacters = m_pendingScreen.size();
    // Text leaving the head above the first line on screen leaves the
    // screen as it is; text leaving it from the screen moves every line, and
    // the whole window is drawn.
    const bool wholeWindow = m_pendingHeadDrop > 0 && !dropHeadUnseen(m_pendingHeadDrop);
    if (wholeWindow)
        quietReplace(0, m_pendingHeadDrop, QString());
    // At the end: backspaces take their characters, then the new text. The
    // screen is drawn again from the line of the first change down.
    const int changedFrom = documentLength() - m_pendingTailDrop;
    const int redrawFrom = wholeWindow ? -1 : document()->findBlock(changedFrom).blockNumber();
    quietReplace(changedFrom, documentLength(), m_pendingScreen);
    // The document's new size reaches the scroll bar.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
    m_pendingScreen.clear();
    m_pendingHeadDrop = 0;
    m_pendingTailDrop = 0;
    // A batch that waited for a little text (a typed key's echo, a slow
    // line) keeps the short wait; one that gathered much longer ones.
    m_streaming = m_piecesWaiting >= kStreamingPieces || batchCharacters >= kStreamingCharacters;
    m_piecesWaiting = 0;
    m_sinceBatch.start();
    moveCaretToEnd();
    if (redrawFrom >= 0) {
        // The caret's move has scrolled the lines above up as pixels.
        const QTextBlock block = document()->findBlockByNumber(redrawFrom);
        const int top = int(std::floor(blockBoundingGeometry(block).translated(contentOffset()).top()));
        viewport()->update(QRect(0, std::max(0, top), viewport()->width(), viewport()->height()));
    } else {
        viewport()->update();
    }
}

bool TerminalText::dropHeadUnseen(int count)
{
    // Only text wholly above the first line on screen: the block where the
    // drop ends (cut, or the first one kept) lies above the screen's top.
    const QTextBlock top = firstVisibleBlock();
    const int droppedBlocks = document()->findBlock(count).blockNumber();
    if (!top.isValid() || droppedBlocks >= top.blockNumber())
        return false;
    const int linesIntoTop = verticalScrollBar()->value() - top.firstLineNumber();
    const int topNumber = top.blockNumber() - droppedBlocks;
    quietReplace(0, count, QString());
    // The window still counts its top line among the dropped ones. It is
    // told the same line under its new number before it hears of the
    // document's new size; updates are held off meanwhile, so it takes the
    // number without moving a pixel.
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, true);
    verticalScrollBar()->setValue(document()->findBlockByNumber(topNumber).firstLineNumber() + linesIntoTop);
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, false);
    return true;
}

void TerminalText::quietReplace(int from, int to, const QString& text)
{
    if (from == to && text.isEmpty())
        return;
    // The document's layout would ask to redraw the whole window for any
    // change of its lines; it is kept quiet while the text changes, and
    // showPending() then tells the window what changed: the document's
    // size, and the lines to draw again.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const bool wasBlocked = layout->blockSignals(true);
    m_updating = true;
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    m_updating = false;
    layout->blockSignals(wasBlocked);
}

void TerminalText::moveCaretToEnd()
{
    QTextCursor cursor = textCursor();
    if (cursor.atEnd() && !cursor.hasSelection()) {
        // Text added at the caret took it along: only the view follows.
        ensureCursorVisible();
        return;
    }
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
    // Teleprinter text needs no shaping (no ligatures, no joined scripts):
    // laying out a line without it costs a fraction.
    shown.setStyleStrategy(QFont::StyleStrategy(shown.styleStrategy() | QFont::PreferNoShaping));
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
    // An edit by hand works on the screen as the line text has it.
    if (hasPending())
        showPending();
    QPlainTextEdit::keyPressEvent(event);
}

void TerminalText::inputMethodEvent(QInputMethodEvent* event)
{
    if (hasPending())
        showPending();
    QPlainTextEdit::inputMethodEvent(event);
}
