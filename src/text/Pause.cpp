#include "text/Pause.h"

#include "core/EventWait.h"

#include <cmath>

namespace {

// A paced transmission that fell behind by more than this (a message box,
// the machine busy for a while) carries on from there rather than sending
// the characters it owes back to back.
constexpr qint64 kLongestCatchUpNs = 500'000'000;
// Unpaced sending lets the window's events in this often.
constexpr qint64 kBreathEveryNs = 10'000'000;

qint64 toNs(double seconds)
{
    return seconds > 0 ? std::llround(seconds * 1e9) : 0;
}

} // namespace

void Pause(double seconds)
{
    const qint64 total = toNs(seconds);
    if (total > 0)
        EventWait::until(QDeadlineTimer(std::chrono::nanoseconds(total), Qt::PreciseTimer));
}

CharacterPacer::CharacterPacer(double secondsPerCharacter) : m_stepNs(toNs(secondsPerCharacter))
{
    m_clock.start();
}

void CharacterPacer::pauseAfterCharacter()
{
    if (m_stepNs <= 0) {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_dueNs >= kBreathEveryNs) {
            EventWait::breathe();
            m_dueNs = now;
        }
        return;
    }
    m_dueNs += m_stepNs;
    const qint64 now = m_clock.nsecsElapsed();
    if (m_dueNs <= now) {
        // Behind the pace: the next characters follow without waiting until
        // the pace is caught up, unless the hold-up was a long one; pending
        // events (Cancel) still run once.
        if (now - m_dueNs > kLongestCatchUpNs)
            m_dueNs = now;
        EventWait::breathe();
        return;
    }
    EventWait::until(QDeadlineTimer(std::chrono::nanoseconds(m_dueNs - now), Qt::PreciseTimer));
}
