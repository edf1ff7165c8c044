#pragma once

#include <QStringList>

class QTextStream;
class SettingsStore;
struct AppState;

// Where `vornak send` talks to: help on `out`, progress and problems on
// `err`. Progress is shown only when `err` is a terminal.
struct SendConsole {
    QTextStream& out;
    QTextStream& err;
    bool progressShown = false;
    // Ctrl-C and the system's request to end (SIGINT, SIGTERM) close the
    // call instead of leaving it open; only the real program asks for it.
    bool catchInterrupts = false;
};

// Runs `vornak send` (`arguments`: what follows "send") with the program's
// configuration in `state` (read already) and the user's settings, and
// returns the exit code (SendExit). Needs a running Qt core application,
// no display.
int runSendCommand(const QStringList& arguments, AppState& state, SettingsStore& settings, SendConsole console);
