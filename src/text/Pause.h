#pragma once

// Waits the given number of seconds while the window's events keep running
// (Cancel, the receive path, the timers). Measured on a monotonic clock;
// the process sleeps while it waits. 0 or less returns at once.
void Pause(double seconds);
