#include "puncher/PunchTape.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace {

// Space kept after the tape's end when it is scrolled to its end.
constexpr int kEndMargin = 16;
// No glyph reaches further right of its start than this (five columns and
// the largest point).
constexpr qint64 kWidestGlyph = tape::kColumnInset + 4 * tape::kColumnPitch + 8;

} // namespace

PunchTape::PunchTape(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("picPunch");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setSingleStep(tape::kColumnPitch);
    const int height = tape::kTapeHeight * kZoom + 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
    setFixedHeight(height);
    // The paper covers the whole view: nothing beneath needs painting.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    updateScrollRange();
    m_repaintHold.setSingleShot(true);
    m_repaintHold.setInterval(kRepaintEveryMs);
    connect(&m_repaintHold, &QTimer::timeout, this, [this] {
        if (!m_changed.isEmpty())
            paintChanged();
    });
}

void PunchTape::clear()
{
    if (isBlank())
        return;
    const qint64 right = extent();
    ++m_revision;
    m_feedRuns.clear();
    m_textRuns.clear();
    updateScrollRange();
    repaintTape(m_leftmost, right);
    m_leftmost = LLONG_MAX;
}

void PunchTape::drawFeedHoles(qint64 limit)
{
    if (limit < tape::kFeedFirstX)
        return; // not one hole
    ++m_revision;
    m_feedRuns.push_back(FeedRun{limit, m_drawWidth});
    m_leftmost = std::min<qint64>(m_leftmost, tape::kFeedFirstX - m_drawWidth);
    updateScrollRange();
    repaintTape(tape::kFeedFirstX - m_drawWidth, limit + m_drawWidth);
}

qint64 PunchTape::drawText(const QString& text, qint64 startX)
{
    tape::Layout layout = tape::layOut(text, startX);
    const qint64 endX = layout.endX;
    if (!layout.glyphs.isEmpty()) {
        const qint64 left = layout.glyphs.constFirst().x - m_drawWidth;
        const qint64 right = layout.glyphs.constLast().x + kWidestGlyph + m_drawWidth;
        ++m_revision;
        m_textRuns.push_back(TextRun{std::move(layout), m_drawWidth});
        m_leftmost = std::min(m_leftmost, left);
        updateScrollRange();
        repaintTape(left, right);
    }
    return endX;
}

qint64 PunchTape::extent() const
{
    qint64 right = 0;
    for (const FeedRun& run : m_feedRuns)
        right = std::max(right, run.limit + run.width / 2);
    for (const TextRun& run : m_textRuns) {
        const tape::PlacedGlyph& last = run.layout.glyphs.constLast();
        right = std::max({right, run.layout.endX, last.x + kWidestGlyph});
    }
    return right;
}

int PunchTape::zoom() const
{
    // The whole height of the tape shows, at a whole number of screen
    // pixels per tape pixel: kZoom as designed, less on a smaller panel.
    return std::clamp(viewport()->height() / tape::kTapeHeight, 1, kZoom);
}

void PunchTape::repaintTape(qint64 fromX, qint64 toX)
{
    // Only the stretch that changed is painted again: while punching, that
    // is one glyph at the left edge.
    const qint64 left = std::max(fromX - leftInView(), qint64(-1));
    const qint64 right = std::min(toX - leftInView() + 1, qint64(viewport()->width() / zoom() + 1));
    if (right < left)
        return;
    m_changed |= QRect(int(left) * zoom(), 0, int(right - left + 1) * zoom(), viewport()->height());
    if (!m_repaintHold.isActive())
        paintChanged();
}

void PunchTape::paintChanged()
{
    viewport()->update(m_changed);
    m_changed = QRect();
    m_repaintHold.start();
}

void PunchTape::updateScrollRange()
{
    QScrollBar* bar = horizontalScrollBar();
    const qint64 visible = viewport()->width() / zoom();
    const int maximum = int(std::clamp<qint64>(extent() + kEndMargin - visible, 0, INT_MAX));
    const int pageStep = int(std::max<qint64>(1, visible));
    // Setting the same range again would still repaint the scroll bar.
    if (bar->pageStep() != pageStep)
        bar->setPageStep(pageStep);
    if (bar->maximum() != maximum)
        bar->setRange(0, maximum);
}

void PunchTape::ensureVisible(qint64 x)
{
    QScrollBar* bar = horizontalScrollBar();
    const qint64 visible = viewport()->width() / zoom();
    const qint64 left = bar->value();
    if (x < left + kEndMargin)
        bar->setValue(int(std::clamp<qint64>(x - kEndMargin, 0, INT_MAX)));
    else if (x > left + visible - kEndMargin)
        bar->setValue(int(std::clamp<qint64>(x - visible + kEndMargin, 0, INT_MAX)));
}

qint64 PunchTape::leftInView() const
{
    return horizontalScrollBar()->value();
}

QPoint PunchTape::viewportPixel(qint64 x, int y) const
{
    const qint64 local = x - leftInView();
    const int zoom = this->zoom();
    if (local < 0 || local >= viewport()->width() / zoom || y < 0 || y >= tape::kTapeHeight)
        return QPoint(-1, -1);
    return QPoint(int(local) * zoom + zoom / 2, y * zoom + zoom / 2);
}

void PunchTape::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.setClipRect(area);
    painter.fillRect(area, paperColor());
    const qint64 leftEdge = leftInView();
    paintTape(painter, leftEdge, leftEdge + area.left() / zoom() - 1, leftEdge + area.right() / zoom() + 1);
}

const QPixmap& PunchTape::holeSprite(int width) const
{
    // Drawn for the screen's pixel density, so the holes stay sharp there.
    const qreal density = viewport()->devicePixelRatioF();
    const qint64 key = qint64(width) << 40 | qint64(zoom()) << 24 | qRound(density * 100);
    auto found = m_sprites.constFind(key);
    if (found != m_sprites.constEnd())
        return found.value();
    const int diameter = width * zoom();
    QPixmap sprite(QSize(diameter, diameter) * density);
    sprite.setDevicePixelRatio(density);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(0, 0, diameter, diameter));
    return m_sprites.insert(key, sprite).value();
}

void PunchTape::paintTape(QPainter& painter, qint64 leftEdge, qint64 fromX, qint64 toX) const
{
    // Every hole of one width looks the same: it is drawn once and copied,
    // centred on its tape pixel.
    const QPixmap* sprite = nullptr;
    int offset = 0;
    const int zoom = this->zoom();
    const auto useWidth = [&](int width) {
        sprite = &holeSprite(width);
        offset = (width * zoom - zoom) / 2;
    };
    const auto draw = [&](qint64 x, int y) {
        painter.drawPixmap(int(x - leftEdge) * zoom - offset, y * zoom - offset, *sprite);
    };

    for (const FeedRun& run : m_feedRuns) {
        useWidth(run.width);
        for (const qint64 x : tape::feedHoleXs(run.limit, fromX - run.width, toX + run.width))
            draw(x, tape::kFeedRowY);
    }
    for (const TextRun& run : m_textRuns) {
        useWidth(run.width);
        const QVector<tape::PlacedGlyph>& glyphs = run.layout.glyphs;
        // The glyphs are in tape order: start with the first that can reach
        // into the view.
        auto placed = std::partition_point(glyphs.begin(), glyphs.end(), [&](const tape::PlacedGlyph& glyph) {
            return glyph.x + kWidestGlyph + run.width < fromX;
        });
        for (; placed != glyphs.end() && placed->x - run.width <= toX; ++placed) {
            for (const tape::Point& point : tape::codeHoles(*placed))
                draw(point.x, point.y);
        }
    }
}

void PunchTape::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void PunchTape::scrollContentsBy(int, int)
{
    viewport()->update();
}
