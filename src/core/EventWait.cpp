#include "core/EventWait.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kBreathEveryMs = 15;
} // namespace

EventWait::Outcome EventWait::wait(int timeoutMs)
{
    if (m_finished)
        return Outcome::Finished;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (timeoutMs >= 0)
        timer.start(timeoutMs);
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    if (m_finished)
        return Outcome::Finished;
    // Neither finish() nor the timer ended the loop: the application told
    // every loop to stop.
    return timeoutMs >= 0 && !timer.isActive() ? Outcome::TimedOut : Outcome::Quitting;
}

void EventWait::finish()
{
    m_finished = true;
    if (m_loop)
        m_loop->quit();
}

bool EventWait::until(const QDeadlineTimer& deadline)
{
    // A timer may fire a little before the deadline's nanosecond: wait again
    // for what is left.
    while (!deadline.hasExpired()) {
        const qint64 remainingNs = deadline.remainingTimeNSecs();
        const int ms = int(std::min<qint64>((remainingNs + 999'999) / 1'000'000, INT_MAX));
        EventWait waiting;
        if (waiting.wait(ms) == Outcome::Quitting)
            return false;
    }
    return true;
}

void EventWait::breathe()
{
    EventWait waiting;
    waiting.wait(0);
}

Breather::Breather(const bool& stopFlag) : m_stop(stopFlag)
{
    m_clock.start();
}

bool Breather::keepGoing()
{
    if (m_clock.elapsed() >= kBreathEveryMs) {
        EventWait::breathe();
        m_clock.restart();
    }
    return !m_stop;
}
