#pragma once

#include <QStringList>

class QTextStream;
class SettingsStore;
struct AppState;

// Where `vornak station` talks to: the log and the help on `out`, a problem
// that stops it from starting on `err`.
struct StationConsole {
    QTextStream& out;
    QTextStream& err;
    bool onTerminal = false; // the log shows the time of day instead of priorities
    // SIGINT and SIGTERM stop the station cleanly; only the real program asks for it.
    bool catchInterrupts = false;
};

// Runs `vornak station` (`arguments`: what follows "station") with the
// program's configuration in `state` (read already) and the user's
// settings, until it is stopped; returns the exit code (StationExit). Needs
// a running Qt core application, no display.
int runStationCommand(const QStringList& arguments, AppState& state, SettingsStore& settings, StationConsole console);
