#include "appearance/ClockGeometry.h"

#include "core/DateText.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace clockhands {

namespace {

// Two digits of the reading at a 1-based character position.
int numberAt(const QString& reading, int position)
{
    return reading.mid(position - 1, 2).toInt();
}

Hand makeHand(const QPoint& centre, int mark, int factor, int width, const QColor& colour)
{
    return Hand{centre, handEnd(centre, mark, factor), width, colour};
}

} // namespace

Marks handMarks(const QDateTime& when)
{
    // The reading's digits stand at fixed places whatever the locale calls
    // the half-day marker behind them.
    const QString reading = formatDateText(when, QStringLiteral("hh.mm.ss AMPM"), QLocale::c());
    const int seconds = numberAt(reading, 7);
    const int minutes = numberAt(reading, 4);
    const int hours = numberAt(reading, 1);
    // 5 * hours + minutes / 12, rounded up to a whole mark.
    return Marks{seconds, minutes, 5 * hours + (minutes + 11) / 12};
}

qint16 roundHalfEven16(double value)
{
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    constexpr double low = std::numeric_limits<qint16>::min();
    constexpr double high = std::numeric_limits<qint16>::max();
    return qint16(std::clamp(whole, low, high));
}

QPoint handEnd(const QPoint& centre, int mark, int lengthFactor)
{
    const double angle = mark * 6.0 * std::numbers::pi / 180.0; // clockwise from twelve
    const qint16 dx = roundHalfEven16(6.0 * lengthFactor * std::sin(angle));
    const qint16 dy = roundHalfEven16(-6.0 * lengthFactor * std::cos(angle));
    return QPoint(centre.x() + dx, centre.y() + dy);
}

Hands hands(const QDateTime& when, const QPoint& centre)
{
    const QColor red(255, 0, 0);
    const QColor green(0, 255, 0);
    const Marks marks = handMarks(when);
    return Hands{makeHand(centre, marks.seconds, kSecondsFactor, 2, red),
                 makeHand(centre, marks.minutes, kMinutesFactor, 3, green),
                 makeHand(centre, marks.hours, kHoursFactor, 3, green)};
}

} // namespace clockhands
