#include "core/Desk.h"

#include "core/Widgets.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <vector>

namespace deskgeometry {

namespace {

// One piece of a picture along one axis: where it comes from in the design
// and where it goes on the target.
struct Piece {
    int from;
    int fromLength;
    int to;
    int toLength;
};

Band clamped(const Band& band, int length)
{
    const int start = std::clamp(band.start, 0, length);
    return {start, std::clamp(band.end, start, length)};
}

// The pieces along one axis: the part before the band, the band repeated a
// whole number of times over its grown length, the part after it.
std::vector<Piece> pieces(int designLength, const Band& designBand, int targetLength)
{
    const Band band = clamped(designBand, designLength);
    const int extra = targetLength - designLength;
    std::vector<Piece> out;
    if (band.start > 0)
        out.push_back({0, band.start, 0, band.start});
    const int grown = band.length() + extra;
    if (band.length() > 0 && grown > 0) {
        const int repeats = std::max(1, int(std::lround(double(grown) / band.length())));
        for (int i = 0; i < repeats; ++i) {
            const int begin = band.start + grown * i / repeats;
            const int end = band.start + grown * (i + 1) / repeats;
            out.push_back({band.start, band.length(), begin, end - begin});
        }
    }
    if (band.end < designLength)
        out.push_back({band.end, designLength - band.end, band.end + extra, designLength - band.end});
    return out;
}

} // namespace

int mapCoordinate(int designValue, const Band& band, int extra)
{
    if (band.length() <= 0)
        return designValue < band.start ? designValue : designValue + extra;
    if (designValue <= band.start)
        return designValue;
    if (designValue >= band.end)
        return designValue + extra;
    const double along = double(designValue - band.start) / band.length();
    return band.start + int(std::lround(along * (band.length() + extra)));
}

QRect mapRect(const QRect& design, const Bands& bands, const QSize& deskSize)
{
    const int extraX = deskSize.width() - kDesignSize.width();
    const int extraY = deskSize.height() - kDesignSize.height();
    const int left = mapCoordinate(design.left(), bands.across, extraX);
    const int right = mapCoordinate(design.left() + design.width(), bands.across, extraX);
    const int top = mapCoordinate(design.top(), bands.down, extraY);
    const int bottom = mapCoordinate(design.top() + design.height(), bands.down, extraY);
    return QRect(left, top, right - left, bottom - top);
}

Bands bandsWithin(const Bands& bands, const QRect& place)
{
    return {{bands.across.start - place.left(), bands.across.end - place.left()},
            {bands.down.start - place.top(), bands.down.end - place.top()}};
}

void drawBanded(QPainter& painter, const QRect& target, const QPixmap& picture, const QSize& designSize,
                const Bands& bands)
{
    if (picture.isNull() || designSize.isEmpty() || target.isEmpty())
        return;
    // A picture made at another size (a larger one for dense screens, or one
    // the user put in) is read in design units.
    const double scaleX = double(picture.width()) / designSize.width();
    const double scaleY = double(picture.height()) / designSize.height();
    if (target.width() < designSize.width() || target.height() < designSize.height()) {
        painter.drawPixmap(target, picture);
        return;
    }
    const std::vector<Piece> across = pieces(designSize.width(), bands.across, target.width());
    const std::vector<Piece> down = pieces(designSize.height(), bands.down, target.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Piece& row : down) {
        for (const Piece& column : across) {
            const QRect to(target.left() + column.to, target.top() + row.to, column.toLength, row.toLength);
            const QRectF from(column.from * scaleX, row.from * scaleY, column.fromLength * scaleX,
                              row.fromLength * scaleY);
            painter.drawPixmap(QRectF(to), picture, from);
        }
    }
    painter.restore();
}

} // namespace deskgeometry

namespace {

// The middle of the design's text well across, and the stretch between the
// clock and the lower half down: the bands of the standard skin.
const deskgeometry::Bands kDefaultBands{{440, 480}, {188, 201}};

QRect pixelsOf(const QRect& designTwips)
{
    return QRect(twips(designTwips.left()), twips(designTwips.top()), twips(designTwips.width()),
                 twips(designTwips.height()));
}

} // namespace

Desk::Desk(QWidget* parent) : QWidget(parent), m_bands(kDefaultBands)
{
    setObjectName("desk");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(deskgeometry::kDesignSize);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Desk::hidePanel(const QString& name)
{
    if (QWidget* panel = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
        panel->hide();
}

void Desk::setSkin(const QPixmap& picture, const QColor& plainColour, const deskgeometry::Bands& bands)
{
    m_picture = picture;
    m_plainColour = plainColour;
    m_bands = bands;
    m_drawn = QPixmap();
    applyPlacements();
    update();
    emit layoutChanged();
}

QRect Desk::toDesk(const QRect& designTwips) const
{
    return deskgeometry::mapRect(pixelsOf(designTwips), m_bands, size());
}

void Desk::place(QWidget* child, const QRect& designTwips, const QSize& size, Qt::Alignment alignment)
{
    if (!child)
        return;
    const Placement placement{child, designTwips, size, alignment};
    m_placements.insert(child, placement);
    applyPlacement(placement);
}

QRect Desk::placeOf(const QWidget* child) const
{
    // An entry left by a widget that is gone never answers for another one
    // made at the same address.
    const auto found = m_placements.constFind(child);
    return found == m_placements.cend() || found->child != child ? QRect() : found->designTwips;
}

void Desk::applyPlacement(const Placement& placement) const
{
    if (!placement.child)
        return;
    const QRect area = toDesk(placement.designTwips);
    if (!placement.size.isValid()) {
        placement.child->setGeometry(area);
        return;
    }
    const QSize size(placement.size.width() > 0 ? placement.size.width() : area.width(),
                     placement.size.height() > 0 ? placement.size.height() : area.height());
    placement.child->setGeometry(QStyle::alignedRect(Qt::LeftToRight, placement.alignment, size, area));
}

void Desk::applyPlacements()
{
    for (auto it = m_placements.begin(); it != m_placements.end();)
        it = it->child.isNull() ? m_placements.erase(it) : std::next(it);
    for (const Placement& placement : std::as_const(m_placements))
        applyPlacement(placement);
}

void Desk::paintEvent(QPaintEvent* event)
{
    const qreal ratio = devicePixelRatioF();
    if (m_drawn.size() != size() * ratio) {
        m_drawn = QPixmap(size() * ratio);
        m_drawn.setDevicePixelRatio(ratio);
        QPainter drawing(&m_drawn);
        drawing.fillRect(rect(), m_plainColour);
        deskgeometry::drawBanded(drawing, rect(), m_picture, deskgeometry::kDesignSize, m_bands);
    }
    QPainter painter(this);
    for (const QRect& area : event->region())
        painter.drawPixmap(area, m_drawn, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

void Desk::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_drawn = QPixmap();
    applyPlacements();
    emit layoutChanged();
}
