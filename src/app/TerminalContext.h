#pragma once

struct AppState;
class Dialogs;
class SerialLink;
class SettingsStore;
class StatusPanel;

// What the parts of the main window share: the program-wide state, the
// dialogs seam, the serial line, the settings store and the status controls.
// Each part gets this bundle by reference from the main window.
struct TerminalContext {
    AppState& state;
    Dialogs& dialogs;
    SerialLink& link;
    SettingsStore& settings;
    StatusPanel& status;
};
