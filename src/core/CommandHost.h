#pragma once

#include <QString>

struct AppState;
class CommandLabel;
class Desk;
class Dialogs;
class QWidget;
class SettingsStore;
class StatusPanel;
// Parts of the terminal core the host hands on; named here only, their
// headers are in link/ and appearance/, and a part that uses one includes it.
class SerialLink;
class SoundEffects;
class TerminalText;

// What the main window offers each part of the program. A part receives the
// host when it is made, adds its own commands and panels through it and
// reaches the shared pieces by it; it never sees the main window itself.
// Parts talk to each other only through the operations handed to them
// (core/Operations.h) and through signals.
class CommandHost {
public:
    virtual ~CommandHost() = default;

    // A new command in a group of the command strip ("Port", "Line", "Send",
    // "Texts", "Phonebook", "Broadcast", "Look", ...); the group is made on
    // first use, its commands stand in the order they were added. The
    // command's objectName is `name`.
    virtual CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                                     const QString& toolTip) = 0;

    // The desk: the skin picture with the terminal text window on it. Panels
    // are children of the desk and open over the text window.
    virtual Desk& desk() = 0;
    // The main window, as the owner of the part's own windows and dialogs.
    virtual QWidget* window() = 0;

    // The terminal text window txtTerm.
    virtual TerminalText& terminal() = 0;
    // The status line: action text, column counter and ruler, lamps, port
    // labels, date and time.
    virtual StatusPanel& status() = 0;
    // The serial line; its send() is the one send operation.
    virtual SerialLink& link() = 0;
    virtual SoundEffects& sounds() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual AppState& state() = 0;
    virtual SettingsStore& settings() = 0;
};
