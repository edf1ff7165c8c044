#pragma once

#include <QColor>
#include <QDateTime>
#include <QPoint>

// Where the hands of the analogue clock point, as plain arithmetic on the time
// of day and the clock's centre. Coordinates are twips of the terminal window
// with y growing downwards.
namespace clockhands {

// One hand as a line control shows it.
struct Hand {
    QPoint start;
    QPoint end;
    int width = 1;
    QColor colour;
};

struct Hands {
    Hand seconds;
    Hand minutes;
    Hand hours;
};

// Hand positions in minute marks, 60 to the full circle, 0 or 60 at twelve.
struct Marks {
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
};

// Length factors: a hand is six times its factor long (900, 780, 540 twips).
constexpr int kSecondsFactor = 150;
constexpr int kMinutesFactor = 130;
constexpr int kHoursFactor = 90;

// The marks read from the twelve-hour reading "hh.mm.ss AMPM" of the time:
// hours 01 to 12, the hour hand moving on by a mark every twelve minutes and
// rounded up to the next whole mark.
Marks handMarks(const QDateTime& when);

// A value rounded to the nearest whole number, half-way values to the even
// neighbour, kept in 16 bits.
qint16 roundHalfEven16(double value);

// The end of a hand of the given length factor standing at a mark.
QPoint handEnd(const QPoint& centre, int mark, int lengthFactor);

// All three hands for a time: seconds red and 2 wide, minutes and hours green
// and 3 wide, each from the centre to its end.
Hands hands(const QDateTime& when, const QPoint& centre);

} // namespace clockhands
