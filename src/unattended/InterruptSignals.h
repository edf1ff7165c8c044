#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a call of `onInterrupt` from the event loop
// (a signal handler may do next to nothing itself: it writes one byte to a
// pipe the loop watches). While an object lives, those signals no longer
// end the program at once; the previous handlers come back when it goes.
// One object at a time.
class InterruptSignals {
public:
    explicit InterruptSignals(std::function<void()> onInterrupt);
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

private:
    std::function<void()> m_onInterrupt;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
