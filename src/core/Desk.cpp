#include "core/Desk.h"

#include "core/Widgets.h"

#include <QGridLayout>
#include <QLayout>
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

double scaleFor(const QSize& deskSize)
{
    return std::min({1.0, double(deskSize.width()) / kDesignSize.width(),
                     double(deskSize.height()) / kDesignSize.height()});
}

QSize extentFor(const QSize& deskSize)
{
    const double scale = scaleFor(deskSize);
    return QSize(std::max(kDesignSize.width(), int(std::lround(deskSize.width() / scale))),
                 std::max(kDesignSize.height(), int(std::lround(deskSize.height() / scale))));
}

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

int scaled(int value, double scale)
{
    return int(std::lround(value * scale));
}

// A rectangle of the design's pixels at a scale: its edges scaled, so
// neighbours stay neighbours.
QRect scaledRect(const QRect& rect, double scale)
{
    const int left = scaled(rect.left(), scale);
    const int top = scaled(rect.top(), scale);
    return QRect(left, top, scaled(rect.left() + rect.width(), scale) - left,
                 scaled(rect.top() + rect.height(), scale) - top);
}

QSize scaledSize(const QSize& size, double scale)
{
    // Sizes that mean "no limit" stay so.
    auto one = [scale](int value) { return value >= QWIDGETSIZE_MAX ? value : scaled(value, scale); };
    return QSize(one(size.width()), one(size.height()));
}

// The design of a panel's widgets and layouts, kept on them when the panel
// is first placed, and applied at a scale.
const char* const kDesignFont = "deskDesignFont";
const char* const kDesignMinimum = "deskDesignMinimum";
const char* const kDesignMaximum = "deskDesignMaximum";
const char* const kDesignGeometry = "deskDesignGeometry";
const char* const kDesignMargins = "deskDesignMargins";
const char* const kDesignSpacing = "deskDesignSpacing";

void keepLayoutDesign(QLayout* layout)
{
    if (!layout || layout->property(kDesignMargins).isValid())
        return;
    layout->setProperty(kDesignMargins, QVariant::fromValue(layout->contentsMargins()));
    if (auto* grid = qobject_cast<QGridLayout*>(layout))
        layout->setProperty(kDesignSpacing, QSize(grid->horizontalSpacing(), grid->verticalSpacing()));
    else
        layout->setProperty(kDesignSpacing, QSize(layout->spacing(), layout->spacing()));
    for (int i = 0; i < layout->count(); ++i)
        keepLayoutDesign(layout->itemAt(i)->layout());
}

void scaleLayout(QLayout* layout, double scale)
{
    if (!layout || !layout->property(kDesignMargins).isValid())
        return;
    const QMargins margins = layout->property(kDesignMargins).value<QMargins>();
    layout->setContentsMargins(scaled(margins.left(), scale), scaled(margins.top(), scale),
                               scaled(margins.right(), scale), scaled(margins.bottom(), scale));
    const QSize spacing = layout->property(kDesignSpacing).toSize();
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        grid->setHorizontalSpacing(spacing.width() < 0 ? -1 : scaled(spacing.width(), scale));
        grid->setVerticalSpacing(spacing.height() < 0 ? -1 : scaled(spacing.height(), scale));
    } else if (spacing.width() >= 0) {
        layout->setSpacing(scaled(spacing.width(), scale));
    }
    for (int i = 0; i < layout->count(); ++i)
        scaleLayout(layout->itemAt(i)->layout(), scale);
}

QList<QWidget*> panelWidgets(QWidget* panel)
{
    QList<QWidget*> widgets{panel};
    widgets += panel->findChildren<QWidget*>();
    return widgets;
}

// Keeps what is not kept yet: a panel placed again keeps its first design,
// and a widget added since is kept as it is now.
void keepDesign(QWidget* panel)
{
    for (QWidget* widget : panelWidgets(panel)) {
        if (widget->property(kDesignFont).isValid())
            continue;
        widget->setProperty(kDesignFont, QVariant::fromValue(widget->font()));
        widget->setProperty(kDesignMinimum, widget->minimumSize());
        widget->setProperty(kDesignMaximum, widget->maximumSize());
        if (widget->parentWidget() == panel && !panel->layout())
            widget->setProperty(kDesignGeometry, widget->geometry());
        keepLayoutDesign(widget->layout());
    }
}

// Fonts shrink a little more than the picture: the frames, paddings and
// check marks around texts keep their pixels and need their room.
QFont scaledFont(QFont font, double pictureScale)
{
    const double scale = pictureScale - 0.25 * (1.0 - pictureScale);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(font.pixelSize() * scale)));
    return font;
}

void scaleDesign(QWidget* panel, double scale)
{
    keepDesign(panel); // the widgets added since the panel was placed
    for (QWidget* widget : panelWidgets(panel)) {
        const QVariant font = widget->property(kDesignFont);
        if (!font.isValid())
            continue;
        widget->setFont(scaledFont(font.value<QFont>(), scale));
        widget->setMinimumSize(scaledSize(widget->property(kDesignMinimum).toSize(), scale));
        widget->setMaximumSize(scaledSize(widget->property(kDesignMaximum).toSize(), scale));
        const QVariant geometry = widget->property(kDesignGeometry);
        if (geometry.isValid())
            widget->setGeometry(scaledRect(geometry.toRect(), scale));
        scaleLayout(widget->layout(), scale);
    }
}

} // namespace

Desk::Desk(QWidget* parent) : QWidget(parent), m_bands(kDefaultBands)
{
    setObjectName("desk");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // At the design's size until the window lays it out: panels placed
    // before then are placed unscaled.
    resize(deskgeometry::kDesignSize);
}

QSize Desk::minimumSizeHint() const
{
    return scaledSize(deskgeometry::kDesignSize, deskgeometry::kSmallestScale);
}

void Desk::hidePanel(const QString& name)
{
    if (QWidget* panel = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
        panel->hide();
}

void Desk::setSkin(LazyPicture picture, const QColor& plainColour, const deskgeometry::Bands& bands)
{
    m_picture = std::move(picture);
    m_plainColour = plainColour;
    m_bands = bands;
    m_drawn = QPixmap();
    applyPlacements();
    update();
    emit layoutChanged();
}

QRect Desk::toDesk(const QRect& designTwips) const
{
    const QRect onExtent = deskgeometry::mapRect(pixelsOf(designTwips), m_bands, deskgeometry::extentFor(size()));
    return scaledRect(onExtent, scale());
}

void Desk::place(QWidget* child, const QRect& designTwips, const QSize& size, Qt::Alignment alignment,
                 bool scaleContents)
{
    if (!child)
        return;
    const Placement placement{child, designTwips, size, alignment, scaleContents};
    if (scaleContents)
        keepDesign(child);
    m_placements.insert(child, placement);
    applyPlacement(placement);
}

void Desk::prepare(QWidget* panel)
{
    const double scale = this->scale();
    if (m_appliedScales.value(panel, 1.0) == scale)
        return;
    scaleDesign(panel, scale);
    m_appliedScales.insert(panel, scale);
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
    const double scale = this->scale();
    if (placement.scaleContents && m_appliedScales.value(placement.child, 1.0) != scale) {
        scaleDesign(placement.child, scale);
        m_appliedScales.insert(placement.child, scale);
    }
    const QRect area = toDesk(placement.designTwips);
    if (!placement.size.isValid()) {
        placement.child->setGeometry(area);
        return;
    }
    const QSize size(placement.size.width() > 0 ? scaled(placement.size.width(), scale) : area.width(),
                     placement.size.height() > 0 ? scaled(placement.size.height(), scale) : area.height());
    placement.child->setGeometry(QStyle::alignedRect(Qt::LeftToRight, placement.alignment, size, area));
}

void Desk::applyPlacements()
{
    for (auto it = m_placements.begin(); it != m_placements.end();) {
        if (it->child.isNull()) {
            m_appliedScales.remove(it.key());
            it = m_placements.erase(it);
        } else {
            it = std::next(it);
        }
    }
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
        // The picture is laid out on the design's extent and drawn at the scale.
        drawing.scale(scale(), scale());
        deskgeometry::drawBanded(drawing, QRect(QPoint(0, 0), deskgeometry::extentFor(size())), m_picture.get(),
                                 deskgeometry::kDesignSize, m_bands);
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
