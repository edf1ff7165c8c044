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
    viewport()->setAutoFillBackground(false);
    updateScrollRange();
}

void PunchTape::clear()
{
    m_feedRuns.clear();
    m_textRuns.clear();
    updateScrollRange();
    viewport()->update();
}

void PunchTape::drawFeedHoles(qint64 limit)
{
    if (limit < tape::kFeedFirstX)
        return; // not one hole
    m_feedRuns.push_back(FeedRun{limit, m_drawWidth});
    updateScrollRange();
    viewport()->update();
}

qint64 PunchTape::drawText(const QString& text, qint64 startX)
{
    tape::Layout layout = tape::layOut(text, startX);
    const qint64 endX = layout.endX;
    if (!layout.glyphs.isEmpty()) {
        m_textRuns.push_back(TextRun{std::move(layout), m_drawWidth});
        updateScrollRange();
        viewport()->update();
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

void PunchTape::updateScrollRange()
{
    QScrollBar* bar = horizontalScrollBar();
    const qint64 visible = viewport()->width() / kZoom;
    const qint64 maximum = std::max<qint64>(0, extent() + kEndMargin - visible);
    bar->setPageStep(int(std::max<qint64>(1, visible)));
    bar->setRange(0, int(std::min<qint64>(maximum, INT_MAX)));
}

void PunchTape::ensureVisible(qint64 x)
{
    QScrollBar* bar = horizontalScrollBar();
    const qint64 visible = viewport()->width() / kZoom;
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
    if (local < 0 || local >= viewport()->width() / kZoom || y < 0 || y >= tape::kTapeHeight)
        return QPoint(-1, -1);
    return QPoint(int(local) * kZoom + kZoom / 2, y * kZoom + kZoom / 2);
}

void PunchTape::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), paperColor());
    painter.scale(kZoom, kZoom);
    const qint64 fromX = leftInView();
    paintTape(painter, fromX, fromX + viewport()->width() / kZoom + 1);
}

void PunchTape::paintTape(QPainter& painter, qint64 fromX, qint64 toX) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    // A point sits on the centre of its tape pixel.
    const auto draw = [&](qint64 x, int y) { painter.drawPoint(QPointF(double(x - fromX) + 0.5, y + 0.5)); };
    const auto usePen = [&](int width) { painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap)); };

    for (const FeedRun& run : m_feedRuns) {
        usePen(run.width);
        for (const qint64 x : tape::feedHoleXs(run.limit, fromX - run.width, toX + run.width))
            draw(x, tape::kFeedRowY);
    }
    for (const TextRun& run : m_textRuns) {
        usePen(run.width);
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
