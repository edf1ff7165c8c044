#pragma once

// Reading the tape picture back: the holes a text should show, and a
// comparison of the rendered picture with them.

#include "puncher/PunchTape.h"
#include "puncher/TapeGlyphs.h"

#include <QImage>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tapereading {

using tape::Point;

// The rows across the tape: holes 1 and 2, the feed track, holes 3 to 5.
inline const int kRows[] = {5, 15, 25, 35, 45, 55};

// The holes of one column at x, holes given as digits ("135").
inline QVector<Point> column(qint64 x, const QString& holes)
{
    QVector<Point> points;
    for (const QChar hole : holes)
        points << Point{x, kRows[hole.digitValue() < 3 ? hole.digitValue() - 1 : hole.digitValue()]};
    return points;
}

// The feed holes as far as `limit`.
inline QVector<Point> feedHoles(qint64 limit)
{
    QVector<Point> points;
    for (qint64 x = 1; x <= limit; x += 10)
        points << Point{x, 25};
    return points;
}

// Compares the rendered picture from `fromX` to `toX` with the holes
// expected there, on every row: each expected hole's centre must be dark,
// and the paper must show wherever no hole is expected within 4 pixels
// (nearer than that, the edge of a neighbouring point may show). Returns
// the places that differ, or nothing when the picture is right.
inline QString pictureDifferences(PunchTape& picture, const QVector<Point>& expected, qint64 fromX, qint64 toX)
{
    const QImage image = picture.viewport()->grab().toImage();
    QStringList differences;
    for (const int y : kRows) {
        QVector<qint64> holes;
        for (const Point& point : expected) {
            if (point.y == y)
                holes << point.x;
        }
        for (qint64 x = fromX; x <= toX; ++x) {
            qint64 nearest = LLONG_MAX;
            for (const qint64 hole : holes)
                nearest = std::min(nearest, std::abs(hole - x));
            if (nearest != 0 && nearest < 4)
                continue;
            const QPoint pixel = picture.viewportPixel(x, y);
            if (pixel.x() < 0) {
                differences << QStringLiteral("%1,%2 not in view").arg(x).arg(y);
                continue;
            }
            const int grey = qGray(image.pixel(pixel));
            if (nearest == 0 && grey >= 60)
                differences << QStringLiteral("no hole at %1,%2").arg(x).arg(y);
            else if (nearest != 0 && grey <= 190)
                differences << QStringLiteral("a mark at %1,%2").arg(x).arg(y);
        }
    }
    return differences.join("; ");
}

} // namespace tapereading
