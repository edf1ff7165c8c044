#pragma once

// A main window whose serial port is the slave end of a pseudo-terminal; the
// test holds the master end as the interface box and reads exactly the
// bytes the program sends.

#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "PtyPair.h"
#include "app/SettingsStore.h"
#include "app/terminal.h"
#include "text/TextPart.h"
#include "text/frmCancelSend.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <memory>
#include <unistd.h>

struct TextRig {
    AppState state;
    ScriptedDialogs dialogs;
    SettingsStore settings;
    PtyPair box;
    std::unique_ptr<frmTerminal> terminal;

    // A tiny pause per character keeps the tests fast.
    explicit TextRig(const TestEnvironment& env, bool openPort = true, double charDelay = 0.001)
        : state(env.makeState())
    {
        box.open();
        settings.save("Ports", "Com1", box.slavePath());
        terminal = std::make_unique<frmTerminal>(state, dialogs, settings);
        terminal->Form_Load({});
        state.CharDelay = charDelay;
        if (openPort) {
            terminal->lblOpen1_Click();
            if (box.waitForBytes(1, 2000) != QByteArray("\r"))
                qWarning("the port did not open with its carriage return");
        }
    }

    frmTerminal& t() { return *terminal; }
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

// Makes a folder refuse new files for the lifetime of the object. As root
// the permission bits do not stop writes, so the immutable attribute is
// used; effective() tells whether either worked on this file system.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        if (::geteuid() == 0)
            m_immutable = QProcess::execute("chattr", {"+i", m_path}) == 0;
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool effective() const
    {
        QFile probe(m_path + "/probe.tmp");
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.close();
        probe.remove();
        return false;
    }

private:
    QString m_path;
    bool m_immutable = false;
};
