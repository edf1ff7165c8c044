#include "PictureKit.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace kit {

QImage textured(const QSize& designSize, double scale, const std::function<QColor(double x, double y)>& colourAt)
{
    const QSize size(int(std::lround(designSize.width() * scale)), int(std::lround(designSize.height() * scale)));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qPremultiply(colourAt((x + 0.5) / scale, (y + 0.5) / scale).rgba());
    }
    return image;
}

QColor mix(const QColor& a, const QColor& b, double amount)
{
    const double t = std::clamp(amount, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor shade(const QColor& colour, double amount)
{
    return amount >= 0 ? mix(colour, QColor(255, 255, 255, colour.alpha()), amount)
                       : mix(colour, QColor(0, 0, 0, colour.alpha()), -amount);
}

void softShadow(QPainter& painter, const QPainterPath& shape, const QPointF& offset, int spread, int alpha)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (int i = spread; i >= 1; --i) {
        painter.setPen(QPen(QColor(0, 0, 0, alpha / spread), 2.0 * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(shape.translated(offset));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, alpha));
    painter.drawPath(shape.translated(offset));
    painter.restore();
}

void recess(QPainter& painter, const QRectF& rect, double radius, const QColor& floor)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    // The lit lip below and right, the dark lip above and left.
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawRoundedRect(rect.translated(1.0, 1.5), radius, radius);
    painter.setBrush(QColor(0, 0, 0, 120));
    painter.drawRoundedRect(rect.translated(-0.5, -1.0), radius, radius);
    painter.setBrush(floor);
    painter.drawRoundedRect(rect, radius, radius);
    // The inner shadow cast by the upper edge.
    QPainterPath inside;
    inside.addRoundedRect(rect, radius, radius);
    painter.setClipPath(inside);
    QLinearGradient fall(rect.topLeft(), rect.topLeft() + QPointF(0, 10));
    fall.setColorAt(0, QColor(0, 0, 0, 110));
    fall.setColorAt(1, QColor(0, 0, 0, 0));
    painter.setBrush(fall);
    painter.drawRect(QRectF(rect.left(), rect.top(), rect.width(), 10));
    QLinearGradient side(rect.topLeft(), rect.topLeft() + QPointF(6, 0));
    side.setColorAt(0, QColor(0, 0, 0, 70));
    side.setColorAt(1, QColor(0, 0, 0, 0));
    painter.setBrush(side);
    painter.drawRect(QRectF(rect.left(), rect.top(), 6, rect.height()));
    painter.restore();
}

void raisedPlate(QPainter& painter, const QRectF& rect, double radius, const QColor& face)
{
    painter.save();
    QPainterPath plate;
    plate.addRoundedRect(rect, radius, radius);
    softShadow(painter, plate, QPointF(1.5, 2.5), 3, 40);
    painter.setPen(Qt::NoPen);
    QLinearGradient light(rect.topLeft(), rect.bottomLeft());
    light.setColorAt(0, shade(face, 0.12));
    light.setColorAt(1, shade(face, -0.06));
    painter.setBrush(light);
    painter.drawPath(plate);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 120), 1.0));
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    painter.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

void rivet(QPainter& painter, const QPointF& centre, double r, const QColor& metal)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawEllipse(centre + QPointF(0.6, 0.9), r + 0.6, r + 0.6);
    QRadialGradient head(centre, r, centre - QPointF(r * 0.35, r * 0.4));
    head.setColorAt(0, shade(metal, 0.6));
    head.setColorAt(0.45, metal);
    head.setColorAt(1, shade(metal, -0.45));
    painter.setBrush(head);
    painter.drawEllipse(centre, r, r);
    painter.restore();
}

void screw(QPainter& painter, const QPointF& centre, double r, const QColor& metal, double slotAngle)
{
    rivet(painter, centre, r, metal);
    painter.save();
    painter.translate(centre);
    painter.rotate(slotAngle);
    painter.setPen(QPen(shade(metal, -0.6), std::max(0.8, r * 0.28), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(-r * 0.62, 0), QPointF(r * 0.62, 0));
    painter.drawLine(QPointF(0, -r * 0.62), QPointF(0, r * 0.62));
    painter.restore();
}

void ring(QPainter& painter, const QPointF& centre, double inner, double outer, const QColor& metal)
{
    painter.save();
    QPainterPath band;
    band.addEllipse(centre, outer, outer);
    band.addEllipse(centre, inner, inner);
    band.setFillRule(Qt::OddEvenFill);
    QPainterPath disc;
    disc.addEllipse(centre, outer, outer);
    softShadow(painter, disc, QPointF(2, 3), 4, 45);
    QConicalGradient sheen(centre, 45);
    const double lights[] = {0.55, -0.25, 0.35, -0.4, 0.55};
    for (int i = 0; i < 5; ++i)
        sheen.setColorAt(i / 4.0, shade(metal, lights[i]));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawPath(band);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(shade(metal, -0.55), 1.2));
    painter.drawEllipse(centre, outer - 0.6, outer - 0.6);
    painter.setPen(QPen(QColor(0, 0, 0, 150), 1.5));
    painter.drawEllipse(centre, inner + 0.5, inner + 0.5);
    painter.restore();
}

QPainterPath gear(const QPointF& centre, double radius, int teeth, double toothDepth, double rotation)
{
    QPainterPath outline;
    const double root = radius - toothDepth;
    const double step = 2.0 * M_PI / teeth;
    auto at = [&](double r, double a) { return centre + QPointF(r * std::cos(a), r * std::sin(a)); };
    for (int i = 0; i < teeth; ++i) {
        const double a = rotation + i * step;
        // Root, flank up, flat top, flank down: a trapezoid tooth.
        const QPointF points[] = {at(root, a), at(radius, a + step * 0.18), at(radius, a + step * 0.42),
                                  at(root, a + step * 0.6)};
        if (i == 0)
            outline.moveTo(points[0]);
        else
            outline.lineTo(points[0]);
        for (int k = 1; k < 4; ++k)
            outline.lineTo(points[k]);
    }
    outline.closeSubpath();

    // Spoke windows between hub and rim, and the axle hole.
    QPainterPath windows;
    const int spokes = teeth >= 12 ? 5 : 4;
    const double inner = root * 0.78;
    const double hub = root * 0.32;
    const QRectF innerBox(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    const QRectF hubBox(centre.x() - hub, centre.y() - hub, 2 * hub, 2 * hub);
    for (int i = 0; i < spokes; ++i) {
        // A ring sector between the hub and the rim, leaving a spoke on
        // either side.
        const double from = qRadiansToDegrees(rotation) + (i + 0.18) * 360.0 / spokes;
        const double span = 0.64 * 360.0 / spokes;
        QPainterPath window;
        window.arcMoveTo(innerBox, -from);
        window.arcTo(innerBox, -from, -span);
        window.arcTo(hubBox, -(from + span), span);
        window.closeSubpath();
        windows.addPath(window);
    }
    windows.addEllipse(centre, hub * 0.35, hub * 0.35);
    return outline.subtracted(windows);
}

} // namespace kit
