#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <functional>

class QPainter;

// Drawing pieces shared by the skins and the paper pictures. Coordinates are
// pixels of the design size; a picture made at a larger scale is drawn with
// a scaled painter, and textures are computed per pixel at the scale asked.
namespace kit {

// A picture of `designSize` pixels times `scale`, every pixel coloured by
// `colourAt` at its design coordinates.
QImage textured(const QSize& designSize, double scale, const std::function<QColor(double x, double y)>& colourAt);

// Mixes two colours: 0 gives `a`, 1 gives `b`.
QColor mix(const QColor& a, const QColor& b, double amount);
// Lighter or darker by a fraction (-1 .. 1) of the way to white or black.
QColor shade(const QColor& colour, double amount);

// A soft shadow under a shape: a few widening, fading copies of it.
void softShadow(QPainter& painter, const QPainterPath& shape, const QPointF& offset, int spread, int alpha);

// A recess in a surface: a lit lower edge, a dark upper edge and an inner
// shadow falling from the top.
void recess(QPainter& painter, const QRectF& rect, double radius, const QColor& floor);
// A raised plate: a lit upper edge and a dark lower edge.
void raisedPlate(QPainter& painter, const QRectF& rect, double radius, const QColor& face);

// A round head (rivet or screw) of radius r at a point, lit from the upper left.
void rivet(QPainter& painter, const QPointF& centre, double r, const QColor& metal);
// A cross-slotted screw head.
void screw(QPainter& painter, const QPointF& centre, double r, const QColor& metal, double slotAngle);

// A metal ring between two radii, brushed around (a conical sheen).
void ring(QPainter& painter, const QPointF& centre, double inner, double outer, const QColor& metal);

// A gear wheel: `teeth` teeth around `radius`, a hub and spoke windows.
QPainterPath gear(const QPointF& centre, double radius, int teeth, double toothDepth, double rotation);

} // namespace kit
