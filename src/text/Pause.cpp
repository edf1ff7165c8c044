#include "text/Pause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace {

// A paced transmission that fell behind by more than this (a message box,
// the machine busy for a while) carries on from there rather than sending
// the characters it owes back to back.
constexpr qint64 kLongestCatchUpNs = 500'000'000;

// Runs the window's events until `untilNs` on `clock` has passed. Returns
// early only when the program is quitting (its loops are being ended).
void runEventsUntil(const QElapsedTimer& clock, qint64 untilNs)
{
    for (;;) {
        const qint64 remaining = untilNs - clock.nsecsElapsed();
        if (remaining <= 0)
            return;
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(std::chrono::milliseconds((remaining + 999'999) / 1'000'000));
        loop.exec();
        if (timer.isActive())
            return; // someone else ended the loop: the program is quitting
    }
}

qint64 toNs(double seconds)
{
    return seconds > 0 ? std::llround(seconds * 1e9) : 0;
}

} // namespace

void Pause(double seconds)
{
    const qint64 total = toNs(seconds);
    if (total <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    runEventsUntil(clock, total);
}

CharacterPacer::CharacterPacer(double secondsPerCharacter) : m_stepNs(toNs(secondsPerCharacter))
{
    m_clock.start();
}

void CharacterPacer::pauseAfterCharacter()
{
    if (m_stepNs <= 0)
        return;
    m_dueNs += m_stepNs;
    const qint64 now = m_clock.nsecsElapsed();
    if (m_dueNs <= now) {
        // Behind the pace: the next characters follow without waiting until
        // the pace is caught up, unless the hold-up was a long one; pending
        // events (Cancel) still run once.
        if (now - m_dueNs > kLongestCatchUpNs)
            m_dueNs = now;
        QCoreApplication::processEvents();
        return;
    }
    runEventsUntil(m_clock, m_dueNs);
}
