#pragma once

// The real main window for the benchmarks that measure it.

#include "BenchSupport.h"
#include "app/terminal.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"

// What the window stands on: the program folder, and Com 1 mapped to a
// pseudo-terminal when the benchmark has one.
struct BenchTerminalGround {
    AppState state;
    SettingsStore settings;
    PrintedDialogs dialogs;

    BenchTerminalGround(const QString& folder, const QString& port)
    {
        state.folder = ProgramFolder(folder);
        if (!port.isEmpty())
            settings.save("Ports", "Com1", port);
    }
};

// The main window, loaded as at start-up.
struct BenchTerminal : BenchTerminalGround {
    frmTerminal window;

    explicit BenchTerminal(const QString& folder, const QString& port = QString())
        : BenchTerminalGround(folder, port), window(state, dialogs, settings)
    {
        window.Form_Load({});
    }
};
