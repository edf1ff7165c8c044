#pragma once

// A stand-in for the main window, so a part can be tested on its own: a host
// with a desk, a terminal text window, the status line, a serial link whose
// Com 1 is the slave end of a pseudo-terminal (the test holds the box end),
// the sounds, scripted dialogs, a program state and a settings store.

#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "appearance/SoundEffects.h"
#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"
#include "PtyPair.h"

#include <QHash>
#include <QWidget>

class TestHost : public QWidget, public CommandHost {
public:
    // With `openPort` the port is opened on the pseudo-terminal at once.
    explicit TestHost(const TestEnvironment& env, bool openPort = false);
    ~TestHost() override;

    CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                             const QString& toolTip) override;
    Desk& desk() override { return *m_desk; }
    QWidget* window() override { return this; }
    TerminalText& terminal() override { return *m_terminal; }
    StatusPanel& status() override { return m_status; }
    SerialLink& link() override { return m_link; }
    SoundEffects& sounds() override { return m_sounds; }
    Dialogs& dialogs() override { return scripted; }
    AppState& state() override { return appState; }
    SettingsStore& settings() override { return store; }

    // The names of a group's commands, in the order they were added.
    QStringList commandNames(const QString& group) const { return m_groups.value(group); }
    // A command by name; fails the test when there is none.
    CommandLabel* command(const QString& name) const;
    // Clicks a command as the user would.
    void click(const QString& name) const;

    AppState appState;
    ScriptedDialogs scripted;
    SettingsStore store;
    PtyPair box;

private:
    SerialLink m_link;
    StatusPanel m_status;
    SoundEffects m_sounds;
    Desk* m_desk;
    TerminalText* m_terminal;
    QWidget* m_strip;
    QHash<QString, QStringList> m_groups;
};
