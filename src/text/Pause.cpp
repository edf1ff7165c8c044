#include "text/Pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <ctime>

namespace {

// The last stretch of a pause is slept rather than waited for in the event
// loop: a timer wakes the loop a fraction of a millisecond late, which over
// hundreds of paced characters would slow the line by several per cent.
constexpr qint64 kTailNs = 1'000'000;

void sleepNs(qint64 ns)
{
    timespec request{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

// Runs the window's events for `ms` milliseconds. Returns false when the
// loop was ended by someone else (the program is quitting).
bool runEventsFor(qint64 ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::chrono::milliseconds(ms));
    loop.exec();
    return !timer.isActive();
}

} // namespace

void Pause(double seconds)
{
    if (!(seconds > 0))
        return;
    QElapsedTimer clock; // monotonic
    clock.start();
    const qint64 total = std::llround(seconds * 1e9);
    bool eventsRan = false;
    for (;;) {
        const qint64 remaining = total - clock.nsecsElapsed();
        if (remaining <= 0)
            return;
        const qint64 loopMs = (remaining - kTailNs) / 1'000'000;
        if (loopMs >= 1) {
            if (!runEventsFor(loopMs))
                return;
            eventsRan = true;
            continue;
        }
        if (!eventsRan) {
            // Even the shortest pause lets pending events run once.
            QCoreApplication::processEvents();
            eventsRan = true;
            continue;
        }
        sleepNs(remaining);
        return;
    }
}
