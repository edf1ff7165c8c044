#pragma once

#include <QElapsedTimer>

// Waits the given number of seconds while the window's events keep running
// (Cancel, the receive path, the timers). Measured on a monotonic clock;
// the process sleeps while it waits. 0 or less returns at once.
void Pause(double seconds);

// The pause after each character of a paced transmission. Each pause ends
// a whole number of character times after the transmission began, so a
// pause that ran a little late (the system woke the program late) is made
// up by the next ones, and the line keeps its pace over any length of text.
// After a long hold-up (more than half a second) it carries on from there
// instead of hurrying to catch up. Without a pause (0 seconds) the window's
// events still run every few milliseconds, so Cancel acts.
class CharacterPacer {
public:
    explicit CharacterPacer(double secondsPerCharacter);
    void pauseAfterCharacter();
    bool paced() const { return m_stepNs > 0; }

private:
    qint64 m_stepNs;
    qint64 m_dueNs = 0;
    QElapsedTimer m_clock;
};
