#include "Noise.h"
#include "PictureKit.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace pictures {

namespace {

const QColor kBrass(0xB8, 0x8C, 0x42);
const QColor kDarkBrass(0x72, 0x4E, 0x1E);
const QColor kPatina(0x4C, 0x4A, 0x32);
const QColor kCopper(0xC2, 0x6E, 0x3A);
const QColor kBacking(0x16, 0x11, 0x0D);

// Brushed brass: long horizontal streaks, fine grain, dark patches of
// patina and a darker rim. Streaks, grain and patina tile.
QImage brass(const QSize& desk, double scale)
{
    const TileTexture streaks(desk.width(), desk.height(), 300, 1.5, 3, 0.6, 21);
    const TileTexture grain(desk.width(), desk.height(), 2, 2, 1, 1.0, 22);
    const TileTexture patina(desk.width(), desk.height(), 200, 124, 4, 0.55, 23);
    return kit::textured(desk, scale, [&](double x, double y) {
        const double dx = (x / desk.width() - 0.5) * 2.0;
        const double dy = (y / desk.height() - 0.5) * 2.0;
        const double rim = std::min(1.0, 0.35 * (dx * dx) + 0.5 * (dy * dy));
        QColor metal = kit::mix(kBrass, kDarkBrass, 0.25 + 0.5 * rim);
        metal = kit::shade(metal, 0.10 * streaks.at(x, y) + 0.04 * grain.at(x, y));
        const double stain = std::min(0.3, std::max(0.0, patina.at(x, y) - 0.2) * 1.2);
        return kit::mix(metal, kPatina, stain);
    });
}

// A copper pipe along a line, lit from above, with flanges at `joints`.
void pipe(QPainter& painter, const QLineF& axis, double radius, const QList<double>& joints)
{
    const QPointF along = axis.unitVector().p2() - axis.unitVector().p1();
    const QPointF across(-along.y(), along.x());
    QLinearGradient roundness(axis.p1() - across * radius, axis.p1() + across * radius);
    roundness.setColorAt(0.0, kit::shade(kCopper, -0.45));
    roundness.setColorAt(0.3, kit::shade(kCopper, 0.45));
    roundness.setColorAt(0.55, kCopper);
    roundness.setColorAt(1.0, kit::shade(kCopper, -0.55));
    QPainterPath body;
    body.moveTo(axis.p1() - across * radius);
    body.lineTo(axis.p2() - across * radius);
    body.lineTo(axis.p2() + across * radius);
    body.lineTo(axis.p1() + across * radius);
    body.closeSubpath();
    kit::softShadow(painter, body, QPointF(1.5, 2.5), 3, 50);
    painter.setPen(Qt::NoPen);
    painter.setBrush(roundness);
    painter.drawPath(body);
    for (double at : joints) {
        const QPointF centre = axis.pointAt(at);
        QPainterPath flange;
        flange.addRoundedRect(QRectF(centre - along * 5 - across * (radius + 3), centre + along * 5 + across * (radius + 3))
                                  .normalized(),
                              2, 2);
        QLinearGradient lit(centre - across * (radius + 3), centre + across * (radius + 3));
        lit.setColorAt(0, kit::shade(kBrass, 0.4));
        lit.setColorAt(1, kit::shade(kBrass, -0.5));
        painter.setBrush(lit);
        painter.drawPath(flange);
        kit::rivet(painter, centre - across * (radius + 0.5), 1.6, kBrass);
        kit::rivet(painter, centre + across * (radius + 0.5), 1.6, kBrass);
    }
}

// A copper frame round the text window, riveted every `pitch` pixels.
void copperFrame(QPainter& painter, const QRectF& outer, const QRectF& inner)
{
    QPainterPath band;
    band.addRoundedRect(outer, 8, 8);
    QPainterPath hole;
    hole.addRoundedRect(inner, 4, 4);
    kit::softShadow(painter, band, QPointF(2, 3), 4, 60);
    QLinearGradient copper(outer.topLeft(), outer.bottomLeft());
    copper.setColorAt(0.0, kit::shade(kCopper, 0.35));
    copper.setColorAt(0.5, kCopper);
    copper.setColorAt(1.0, kit::shade(kCopper, -0.35));
    painter.setPen(Qt::NoPen);
    painter.setBrush(copper);
    painter.drawPath(band.subtracted(hole));
    painter.setBrush(kBacking);
    painter.drawPath(hole);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 220, 180, 110), 1.0));
    painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 7, 7);
    painter.setPen(QPen(QColor(0, 0, 0, 140), 1.5));
    painter.drawRoundedRect(inner.adjusted(-0.5, -0.5, 0.5, 0.5), 4, 4);

    // Rivets down the middle of the band, evenly spaced on each side.
    const double band_ = inner.top() - outer.top();
    const QRectF path = outer.adjusted(band_ / 2, band_ / 2, -band_ / 2, -band_ / 2);
    const double pitch = 38;
    const int across = int(path.width() / pitch);
    const int down = int(path.height() / pitch);
    for (int i = 0; i <= across; ++i) {
        const double x = path.left() + path.width() * i / across;
        kit::rivet(painter, QPointF(x, path.top()), 2.6, kBrass);
        kit::rivet(painter, QPointF(x, path.bottom()), 2.6, kBrass);
    }
    for (int i = 1; i < down; ++i) {
        const double y = path.top() + path.height() * i / down;
        kit::rivet(painter, QPointF(path.left(), y), 2.6, kBrass);
        kit::rivet(painter, QPointF(path.right(), y), 2.6, kBrass);
    }
}

void drawGear(QPainter& painter, const QPointF& centre, double radius, int teeth, double rotation)
{
    const QPainterPath shape = kit::gear(centre, radius, teeth, radius * 0.16, rotation);
    kit::softShadow(painter, shape, QPointF(2, 3), 3, 70);
    QLinearGradient lit(centre - QPointF(radius, radius), centre + QPointF(radius, radius));
    lit.setColorAt(0, kit::shade(kBrass, 0.35));
    lit.setColorAt(1, kit::shade(kDarkBrass, -0.2));
    painter.setPen(QPen(kit::shade(kDarkBrass, -0.45), 1.0));
    painter.setBrush(lit);
    painter.drawPath(shape);
    kit::rivet(painter, centre, radius * 0.13, kCopper);
}

} // namespace

QImage steampunkSkin(double scale)
{
    const DeskLayout layout = steampunkLayout();
    QImage image = brass(layout.desk, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    // The gears first, a train down beside the gauge, above the phrases
    // (which stand under the gauge); the gauge lies over their edges.
    const QRectF face(layout.clock);
    const QPointF big(face.right() + 51, 50);
    drawGear(painter, big, 30, 11, 0.1);
    drawGear(painter, big + QPointF(7, 49), 22, 8, 0.32);
    drawGear(painter, big + QPointF(-2, 83), 15, 6, 0.05);

    // The pipe along the bottom, turning up the right edge.
    pipe(painter, QLineF(0, 362, layout.desk.width() - 14, 362), 6, {0.12, 0.45, 0.78});
    pipe(painter, QLineF(layout.desk.width() - 14, 368, layout.desk.width() - 14, 0), 6, {0.5});
    const QPointF elbow(layout.desk.width() - 14, 362);
    QPainterPath box;
    box.addRoundedRect(QRectF(elbow - QPointF(11, 11), elbow + QPointF(11, 11)), 3, 3);
    kit::softShadow(painter, box, QPointF(1.5, 2.5), 3, 60);
    painter.setPen(QPen(kit::shade(kDarkBrass, -0.4), 1.0));
    QLinearGradient boxLight(elbow - QPointF(11, 11), elbow + QPointF(11, 11));
    boxLight.setColorAt(0, kit::shade(kBrass, 0.35));
    boxLight.setColorAt(1, kit::shade(kBrass, -0.45));
    painter.setBrush(boxLight);
    painter.drawPath(box);
    for (const QPointF corner : {QPointF(-6, -6), QPointF(6, -6), QPointF(-6, 6), QPointF(6, 6)})
        kit::rivet(painter, elbow + corner, 2.0, kBrass);

    // The copper frame round the text window.
    const QRectF text(layout.text);
    const QRectF inner = text.adjusted(-6, -6, 6, 10);
    copperFrame(painter, inner.adjusted(-14, -14, 14, 14), inner);

    // The gauge ring round the clock, riveted.
    const double radius = face.width() / 2;
    kit::ring(painter, face.center(), radius - 1, radius + 13, kBrass);
    for (int i = 0; i < 12; ++i) {
        const double a = qDegreesToRadians(15.0 + 30.0 * i);
        kit::rivet(painter, face.center() + QPointF(std::cos(a), std::sin(a)) * (radius + 6.5), 2.1, kCopper);
    }
    return image;
}

} // namespace pictures
