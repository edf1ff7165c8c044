#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QTimer>
#include <climits>
#include <vector>

#include "puncher/TapeGlyphs.h"

// The tape picture picPunch: a strip of paper tape on which feed holes and
// glyphs are drawn as points. Like a picture box it keeps what is drawn on
// it until it is cleared, and draws with a current point width.
//
// Positions are tape pixels from the picture's left edge, 64-bit wide; the
// strip is shown enlarged (kZoom screen pixels per tape pixel, fewer when the
// view is lower than that: zoom()) and scrolls
// sideways when the tape is longer than the view. Only the part in view is
// painted, so a long tape costs no more to show than a short one.
class PunchTape : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kZoom = 3;

    explicit PunchTape(QWidget* parent = nullptr);

    // Wipes the picture.
    void clear();
    // The width of the points drawn from now on, in tape pixels.
    void setDrawWidth(int width) { m_drawWidth = width; }
    int drawWidth() const { return m_drawWidth; }
    // Feed holes along the tape up to `limit` (inclusive).
    void drawFeedHoles(qint64 limit);
    // The glyphs of `text` from `startX` on; returns the position after the
    // last glyph's advance.
    qint64 drawText(const QString& text, qint64 startX);

    // Nothing drawn since the last clear().
    bool isBlank() const { return m_feedRuns.empty() && m_textRuns.empty(); }
    // Counts the changes of the picture: equal revisions, equal pictures.
    quint64 revision() const { return m_revision; }
    // The rightmost tape pixel anything drawn reaches.
    qint64 extent() const;

    // Scrolls as little as needed to bring tape position x into view.
    void ensureVisible(qint64 x);
    // The tape position at the left edge of the view.
    qint64 leftInView() const;
    // The screen pixel of the viewport that shows the centre of tape pixel
    // (x, y), or (-1, -1) when it is not in view.
    QPoint viewportPixel(qint64 x, int y) const;

    // A change waits for the view to be painted again: the view is painted
    // at most every kRepaintEveryMs (a fast punch changes it a hundred
    // times a second); the first change after a quiet spell at once.
    static constexpr int kRepaintEveryMs = 40;
    bool repaintHeld() const { return m_repaintHold.isActive(); }

    static QColor paperColor() { return QColor(0xF3, 0xE9, 0xC6); }
    // Screen pixels per tape pixel now.
    int zoom() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct FeedRun {
        qint64 limit;
        int width;
    };
    struct TextRun {
        tape::Layout layout;
        int width;
    };

    void updateScrollRange();
    // Asks for the view to be painted again where it shows fromX to toX.
    void repaintTape(qint64 fromX, qint64 toX);
    // Paints what changed since the last painting, and holds the next one.
    void paintChanged();
    // The holes from `fromX` to `toX`, tape position leftEdge at the
    // painter's left edge.
    void paintTape(QPainter& painter, qint64 leftEdge, qint64 fromX, qint64 toX) const;
    // A round hole of that width, enlarged.
    const QPixmap& holeSprite(int width) const;

    std::vector<FeedRun> m_feedRuns;
    std::vector<TextRun> m_textRuns;
    int m_drawWidth = 1;
    quint64 m_revision = 0;
    // The leftmost tape position anything drawn reaches.
    qint64 m_leftmost = LLONG_MAX;
    QRect m_changed; // in the view, not painted yet
    QTimer m_repaintHold;
    // Hole pictures by width and pixel density.
    mutable QHash<qint64, QPixmap> m_sprites;
};
