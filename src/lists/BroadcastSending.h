#pragma once

#include <QObject>

#include "core/Operations.h"

class CommandHost;
class CommandLabel;

// A broadcast through one of the network's broadcast services: the two
// service commands dial the service, the receive path sees the service ask
// for its receivers, and the receiver list RSend.txt goes out line by line
// ("Tx RS Numbers" sends it by hand).
class BroadcastSending : public QObject {
    Q_OBJECT
public:
    BroadcastSending(CommandHost& host, Dialler callNumber, TextSender sendTxt, QObject* parent = nullptr);

    // The service numbers of the configuration as the captions of the two
    // service commands (at start-up, once the configuration is read).
    void showServiceNumbers();
    // Starts a broadcast through service 1 or 2.
    void startBroadcast(int service);
    // Sends the receiver list, or only confirms when it has been sent.
    void sendReceiverList();
    // The manual command: behind the connection guard.
    void lblSendNumbers_Click();
    // The connection was closed: nothing is pending any more.
    void connectionClosed();

    // Pause between two lines of the list, in seconds.
    static constexpr double kLinePause = 0.18;

private:
    void enableServiceCommands(bool enabled);

    CommandHost& m_host;
    Dialler m_callNumber;
    TextSender m_sendTxt;
    CommandLabel* lblRSend_1;
    CommandLabel* lblRsend_2;
    bool m_sending = false;
};
