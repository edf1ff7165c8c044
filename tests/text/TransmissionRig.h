#pragma once

// What the transmission tests share: a connected terminal over a
// pseudo-terminal, files picked as a user would pick them, and the state
// every transmission leaves behind however it ended.
#include "support/TerminalRig.h"

#include "core/StatusPanel.h"
#include "text/TransmissionControl.h"

#include <QFile>

// A terminal with its port open and a call in progress.
struct Connected : TerminalRig {
    explicit Connected(const TestEnvironment& env, double charDelay = 0.001) : TerminalRig(env, true, charDelay)
    {
        state.ConnectionActive = true;
    }
    // "Send Text", the file dialog answering the given paths in turn (none: cancelled).
    void sendText(const QStringList& chosen)
    {
        dialogs.clear();
        dialogs.files = chosen;
        click("lblSendText1");
    }
};

// A file outside the program folder.
inline QString userFile(const TestEnvironment& env, const QString& name, const QByteArray& bytes)
{
    QFile file(env.configHome() + "/" + name);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return file.fileName();
}

// The stop flag set, the cancel window gone, the transmit lamp dark with the
// clock tick once the output has drained, the line and every send command free.
inline void checkEnded(TerminalRig& rig)
{
    QVERIFY(rig.state.StopSend && !rig.cancelWindow().isVisible());
    rig.t().Timer3_Timer();
    QCOMPARE(rig.status().imgTX->picture(), 2);
    QVERIFY(rig.sendCommandsEnabled() && !rig.part<TextTransmissions>().control().busy());
}
