#pragma once

#include <QObject>

#include "app/TerminalContext.h"

class frmTerminal;

// A broadcast through one of the network's broadcast services: the two
// service commands dial the service, the receive path sees the service ask
// for its receivers, and the receiver list RSend.txt goes out line by line
// ("Tx RS Numbers" sends it by hand).
class BroadcastSending : public QObject {
    Q_OBJECT
public:
    BroadcastSending(TerminalContext& context, frmTerminal& terminal);

    // Starts a broadcast through service 1 or 2.
    void startBroadcast(int service);
    // Sends the receiver list, or only confirms when it has been sent.
    void sendReceiverList();
    // The manual command: behind the connection guard.
    void lblSendNumbers_Click();

    // Pause between two lines of the list, in seconds.
    static constexpr double kLinePause = 0.18;

private:
    TerminalContext& m_context;
    frmTerminal& m_terminal;
    bool m_sending = false;
};
