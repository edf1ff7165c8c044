#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <functional>

class QEventLoop;

// The one way the program waits. A wait runs the window's events in a nested
// event loop until it is finished or its time is up: the window keeps
// painting, Cancel and the receive path still run, and between events the
// process sleeps in the event dispatcher. Nothing spins.
//
// Pauses, paced characters, the drain at exit, socket exchanges, sounds and
// the puncher all wait through this class.
class EventWait {
public:
    enum class Outcome {
        Finished, // finish() was called (before or during the wait)
        TimedOut, // the time was up
        Quitting, // the program is ending: every loop has been told to stop
    };

    EventWait() = default;
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Runs events until finish() or until `timeoutMs` has passed (a negative
    // time: no limit).
    Outcome wait(int timeoutMs = -1);
    // Ends the wait; called before the wait starts, the wait returns at once.
    void finish();
    bool finished() const { return m_finished; }

    // Runs events until the deadline has passed, on a precise timer. False
    // when the program is quitting (the wait ended early).
    static bool until(const QDeadlineTimer& deadline);
    static bool forMs(int ms) { return until(QDeadlineTimer(ms, Qt::PreciseTimer)); }

    // Runs events until `signal` of `sender` fires or `timeoutMs` has passed.
    // True when the signal came.
    template <typename Sender, typename Signal>
    static bool forSignal(const Sender* sender, Signal signal, int timeoutMs)
    {
        EventWait waiting;
        QObject context;
        QObject::connect(sender, signal, &context, [&waiting] { waiting.finish(); });
        return waiting.wait(timeoutMs) == Outcome::Finished;
    }

    // Lets the events that are pending now run once, without waiting for more.
    static void breathe();

private:
    QEventLoop* m_loop = nullptr;
    bool m_finished = false;
};

// Long work on the window thread (reading, converting and wrapping a large
// text) gives the window a breath every few milliseconds, so it keeps
// painting and Cancel still acts. keepGoing() answers whether the work should
// go on: false once the stop flag is set.
class Breather {
public:
    explicit Breather(const bool& stopFlag);
    bool keepGoing();
    std::function<bool()> asFunction()
    {
        return [this] { return keepGoing(); };
    }

private:
    const bool& m_stop;
    QElapsedTimer m_clock;
};
