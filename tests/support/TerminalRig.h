#pragma once

// A main window whose serial port is the slave end of a pseudo-terminal; the
// test holds the master end as the interface box and reads exactly the
// bytes the program sends.

#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "PtyPair.h"
#include "core/SettingsStore.h"
#include "app/terminal.h"
#include "text/TextPart.h"
#include "text/frmCancelSend.h"

#include <QtTest>
#include <memory>

struct TerminalRig {
    AppState state;
    ScriptedDialogs dialogs;
    SettingsStore settings;
    PtyPair box;
    std::unique_ptr<frmTerminal> terminal;

    // A tiny pause per character keeps the tests fast. Without `load` the
    // window is made but not started, so a test can prepare the settings
    // store first.
    explicit TerminalRig(const TestEnvironment& env, bool openPort = true, double charDelay = 0.001,
                         bool load = true)
        : state(env.makeState())
    {
        box.open();
        settings.save("Ports", "Com1", box.slavePath());
        terminal = std::make_unique<frmTerminal>(state, dialogs, settings);
        if (!load)
            return;
        terminal->Form_Load({});
        state.CharDelay = charDelay;
        if (openPort) {
            terminal->lblOpen1_Click();
            if (box.waitForBytes(1, 2000) != QByteArray("\r"))
                qWarning("the port did not open with its carriage return");
        }
    }

    frmTerminal& t() { return *terminal; }
    QString action() const { return terminal->status.lblAction->text(); }
    // Clicks a command of the main window by its name.
    void click(const char* name)
    {
        auto* command = terminal->findChild<CommandLabel*>(name);
        QVERIFY2(command, name);
        QTest::mouseClick(command, Qt::LeftButton);
    }
    frmCancelSend& cancelWindow() { return terminal->textPart().cancelWindow(); }

    // Everything that reaches the box until `count` bytes have come, then
    // whatever trails within a short while (nothing, when all is well).
    QByteArray received(int count, int timeoutMs = 5000)
    {
        QByteArray bytes = box.waitForBytes(count, timeoutMs);
        bytes += box.readFor(150);
        return bytes;
    }

    QList<QWidget*> sendCommands()
    {
        return {terminal->lblPaste, terminal->lblSendText1, terminal->lblSendHeader,
                terminal->lblSendHeadlines, terminal->lblSendMessage};
    }
    bool sendCommandsEnabled()
    {
        for (QWidget* command : sendCommands()) {
            if (!command->isEnabled())
                return false;
        }
        return true;
    }
};
