#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <functional>

// The terminal window txtTerm. It keeps the window's text the way the line
// delivers it, line ends as CR LF pairs, and shows it with each CR as a line
// break; every count and position (the 16000-character limit, the last
// character a backspace takes) is taken on that text.
//
// Received text reaches the screen in batches, kScreenMs after it arrived:
// laying out and drawing text costs far more than receiving it, and a fast
// line would otherwise lay out text that the length limit drops a moment
// later. While the line streams (a batch gathered several pieces, or many
// characters), the
// batches come every kStreamingScreenMs: each batch costs a scroll of the
// whole window, its copy to the display and a round trip to it, whatever it
// carries; a character typed or a slow line still shows after kScreenMs. A batch costs what it changed: the window paints itself opaquely
// (nothing behind it is drawn again), text appended at the end redraws only
// the lines it touched, the lines above move up as pixels, and the scroll
// bar is set once per batch.
//
// Typed keys are offered to the key handler first; when it takes a key (the
// port is open) the window never shows it, so it holds only what the box
// sends.
class TerminalText : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TerminalText(QWidget* parent = nullptr);

    // Returns true when the key was handled (sent) and must not be edited in.
    using KeyHandler = std::function<bool(int characterCode)>;
    void setKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }

    // The window's text with CR LF line ends, and its length.
    const QString& lineText() const { return m_text; }
    int lineLength() const { return int(m_text.size()); }

    void setLineText(const QString& text);
    // Drops the first `count` characters.
    void dropHead(int count);
    // Appends at the end; with `replaceLast` the text takes the place of the
    // window's last character.
    void appendLineText(const QString& text, bool replaceLast);

    // The text is shown in the window's font scaled by `zoom` (the desk's
    // scale), but never smaller than kSmallestPoints: font() stays the font
    // chosen, the document shows the zoomed one.
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    static constexpr double kSmallestPoints = 8.0;

    // Puts received text on the screen now, the caret at the end.
    void showPending();
    void moveCaretToEnd();

    static constexpr int kScreenMs = 40;
    static constexpr int kStreamingScreenMs = 100;
    // Pieces, or characters, of text one batch gathers from which the line
    // counts as streaming.
    static constexpr int kStreamingPieces = 3;
    static constexpr int kStreamingCharacters = 256;
    // How often the scroll bar is drawn at most while it follows arriving
    // text at the end.
    static constexpr int kScrollBarFollowMs = 250;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // How a piece of line text looks on screen: CR is the line break, LF
    // (always right behind a CR) shows as nothing.
    static QString screenForm(QStringView lineText);
    static int screenLength(QStringView lineText);
    int documentLength() const;
    // Characters of the document that stay on the screen after the pending
    // drops from its head and its tail.
    int documentKept() const { return documentLength() - m_pendingHeadDrop - m_pendingTailDrop; }
    bool hasPending() const { return !m_pendingScreen.isEmpty() || m_pendingHeadDrop > 0 || m_pendingTailDrop > 0; }
    // Drops `count` characters from the document's head without drawing
    // the window again when they all lie above its first line on screen;
    // false (nothing done) otherwise.
    bool dropHeadUnseen(int count);
    // Puts `text` in the place of the document's characters from `from` to
    // `to`, without letting its layout redraw the window.
    void quietReplace(int from, int to, const QString& text);
    void takeUserEdit();
    void showZoomedFont();
    // Starts the wait for the next batch unless it runs.
    void scheduleBatch();

    KeyHandler m_keyHandler;
    QString m_text;          // the whole window text, CR LF line ends
    // What the screen lacks, applied with the next batch: characters to drop
    // from the document's head and tail, then text to append.
    QString m_pendingScreen;
    int m_pendingHeadDrop = 0;
    int m_pendingTailDrop = 0;
    QTimer m_screenTimer;
    int m_piecesWaiting = 0; // pieces of text appended since the last batch
    bool m_streaming = false;
    QElapsedTimer m_sinceBatch; // a line quiet for longer streams no more
    bool m_updating = false;
    double m_zoom = 1.0;
};
