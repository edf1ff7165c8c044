#include "Noise.h"
#include "PictureKit.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>

namespace pictures {

namespace {

const QColor kCasing(0xCF, 0xCA, 0xC0);
const QColor kWellFloor(0x5C, 0x58, 0x52);
const QColor kPlate(0xD8, 0xD4, 0xCB);
const QColor kSteel(0xB4, 0xB6, 0xB8);

// The casing: warm grey, finely grained like textured plastic, a little
// lighter at the top where the light falls. The grain tiles.
QImage casing(const QSize& desk, double scale)
{
    const TileTexture grain(desk.width(), desk.height(), 3, 3, 2, 0.6, 11);
    const TileTexture mottle(desk.width(), desk.height(), 150, 124, 3, 0.5, 12);
    return kit::textured(desk, scale, [&](double x, double y) {
        const double light = 0.05 * (0.5 - y / desk.height());
        return kit::shade(kCasing, light + 0.035 * grain.at(x, y) + 0.025 * mottle.at(x, y));
    });
}

// Horizontal vent slots, each a small recess.
void vent(QPainter& painter, const QRectF& area, int count)
{
    const double pitch = area.height() / count;
    for (int i = 0; i < count; ++i) {
        const QRectF slot(area.left(), area.top() + i * pitch, area.width(), pitch * 0.42);
        kit::recess(painter, slot, slot.height() / 2, QColor(0x3A, 0x37, 0x33));
    }
}

} // namespace

QImage standardSkin(double scale)
{
    const DeskLayout layout = standardLayout();
    QImage image = casing(layout.desk, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    // The well the paper and the text window lie in, and a groove along the
    // bottom of the casing.
    const QRect sheet = paperSheetPlace();
    const QRect edge = paperEdgePlace();
    const QRectF well = QRectF(sheet.united(edge)).adjusted(-6, -8, 6, 5);
    kit::recess(painter, well, 9, kWellFloor);
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1.0));
    painter.drawLine(QPointF(well.left(), 360.5), QPointF(well.right(), 360.5));
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    painter.drawLine(QPointF(well.left(), 361.5), QPointF(well.right(), 361.5));

    // The plate at the right with the clock, a vent and four screws.
    const QRectF plate(well.right() + 24, well.top(), layout.desk.width() - well.right() - 24 - 14,
                       well.height());
    kit::raisedPlate(painter, plate, 7, kPlate);
    const QPointF inset(11, 11);
    const double angles[] = {20, 65, 110, 155};
    const QPointF corners[] = {plate.topLeft() + inset, plate.topRight() + QPointF(-inset.x(), inset.y()),
                               plate.bottomLeft() + QPointF(inset.x(), -inset.y()), plate.bottomRight() - inset};
    for (int i = 0; i < 4; ++i)
        kit::screw(painter, corners[i], 4.2, kSteel, angles[i]);

    const QRectF face(layout.clock);
    kit::ring(painter, face.center(), face.width() / 2 - 1, face.width() / 2 + 9, kSteel);

    const double ventTop = face.bottom() + 34;
    vent(painter, QRectF(plate.left() + 34, ventTop, plate.width() - 68, plate.bottom() - 26 - ventTop), 7);
    return image;
}

} // namespace pictures
