#include "lists/BroadcastSending.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/DataFile.h"
#include "core/Dialogs.h"
#include "core/TextFiles.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "link/SerialLink.h"
#include "text/Pause.h"

BroadcastSending::BroadcastSending(CommandHost& host, Dialler callNumber, TextSender sendTxt, QObject* parent)
    : QObject(parent), m_host(host), m_callNumber(std::move(callNumber)), m_sendTxt(std::move(sendTxt))
{
    lblRSend_1 = host.addCommand("Broadcast", "lblRSend_1", QString(), "11151 Rundsenden Server Call automatic dialing");
    lblRsend_2 = host.addCommand("Broadcast", "lblRsend_2", QString(), "11162 Rundsenden Server Call automatic dialing");
    connect(lblRSend_1, &CommandLabel::clicked, this, [this] { startBroadcast(1); });
    connect(lblRsend_2, &CommandLabel::clicked, this, [this] { startBroadcast(2); });
    connect(host.addCommand("Broadcast", "lblSendNumbers", "Tx RS Numbers",
                            "Sends Rundsend Recaiver List (in case of failure with automatic sending)"),
            &CommandLabel::clicked, this, &BroadcastSending::lblSendNumbers_Click);
}

void BroadcastSending::showServiceNumbers()
{
    lblRSend_1->setText(plainNumber(m_host.state().RSendService1));
    lblRsend_2->setText(plainNumber(m_host.state().RSendService2));
}

void BroadcastSending::startBroadcast(int service)
{
    if (!portGuard(m_host, true))
        return;
    AppState& state = m_host.state();
    const double number = service == 1 ? state.RSendService1 : state.RSendService2;
    const Dialogs::Answer answer = m_host.dialogs().message(
        "This Option will call automaticaly the Rundsenden service and transmit all the subscribers from the "
        "Rundsenden list. After the connection is established you will receive a prompt to send your message.!",
        Dialogs::Icon::Critical, Dialogs::Buttons::YesNo, Dialogs::Answer::No,
        "Quillnet Rundsenden Service on " + vbStr(number));
    if (answer != Dialogs::Answer::Yes)
        return;
    if (!portGuard(m_host))
        return;
    m_callNumber(plainNumber(number), "    Rundsenden");
    state.RSendPending = true;
    enableServiceCommands(false);
}

void BroadcastSending::lblSendNumbers_Click()
{
    if (!connectionGuard(m_host))
        return;
    sendReceiverList();
}

void BroadcastSending::sendReceiverList()
{
    // The service's prompt may arrive again while the list is going out;
    // the list goes out once.
    if (m_sending)
        return;
    AppState& state = m_host.state();
    if (!state.RSendListSent) {
        m_sending = true;
        // A missing or unreadable list sends only the line feed; the
        // confirmation still follows, after the reason for a list that is
        // there but cannot be read.
        const QString path = state.folder.file("\\RSend.txt");
        const FileBytes list = readFileBytes(path);
        const QStringList lines = splitLines(decodeFileBytes(list.bytes));
        m_sendTxt("\n");
        for (const QString& line : lines) {
            // A lost line ends the list: nothing more can go out, and the
            // rest must not follow on a port opened again later.
            if (!m_host.link().isOpen())
                break;
            m_sendTxt(line);
            Pause(kLinePause);
        }
        state.RSendListSent = true;
        m_sending = false;
        if (list.outcome == FileBytes::Outcome::Failed)
            m_host.dialogs().warn("The receiver list " + path + " cannot be read:\n" + list.problem
                                  + "\nOnly the line feed was sent.");
    }
    // The loss has been reported by the port; the list was not transmitted.
    if (m_host.link().isOpen())
        m_host.dialogs().message(
            "The Subscriber number list was transmitted correctly, you may send your message now...  end with +++ ");
    state.RSendPending = false;
    state.RSendListSent = false;
    enableServiceCommands(true);
}

void BroadcastSending::connectionClosed()
{
    enableServiceCommands(true);
}

void BroadcastSending::enableServiceCommands(bool enabled)
{
    lblRSend_1->setEnabled(enabled);
    lblRsend_2->setEnabled(enabled);
}
