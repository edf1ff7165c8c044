#pragma once

#include <QString>

// One program holds a serial port at a time: the window, a station, `vornak
// send` or another terminal program. Every Vornak program that opens a
// port locks the device itself (flock on the device node, which a symbolic
// link leads to as well and which holds for root too), beside the lock file
// the serial port library keeps. When a port is refused, the holder can be
// named from either lock.

// Locks the device open at `fd` for this process; false when another
// program holds it.
bool lockPortDevice(int fd);

// Who holds the device at `path`: "the Vornak station (process 1234)",
// "the Vornak window (process 99)", "picocom (process 5)"; empty when no
// lock names a holder.
QString portHolder(const QString& path);

// The name of the program running as process `pid`, as portHolder says it
// (without the process number); empty when there is no such process.
QString programName(qint64 pid);
