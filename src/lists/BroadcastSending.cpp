#include "lists/BroadcastSending.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "link/Guards.h"
#include "core/VbText.h"
#include "app/terminal.h"
#include "link/ReceivePath.h"
#include "core/TextFiles.h"
#include "text/Pause.h"

BroadcastSending::BroadcastSending(TerminalContext& context, frmTerminal& terminal)
    : QObject(&terminal), m_context(context), m_terminal(terminal)
{
    connect(terminal.lblRSend_1, &CommandLabel::clicked, this, [this] { startBroadcast(1); });
    connect(terminal.lblRsend_2, &CommandLabel::clicked, this, [this] { startBroadcast(2); });
    connect(terminal.addCommand("Broadcast", "lblSendNumbers", "Tx RS Numbers",
                                "Sends Rundsend Recaiver List (in case of failure with automatic sending)"),
            &CommandLabel::clicked, this, &BroadcastSending::lblSendNumbers_Click);
    terminal.receivePath().receiverListRequested = [this] { sendReceiverList(); };
}

void BroadcastSending::startBroadcast(int service)
{
    if (!portGuard(m_context, true))
        return;
    const double number = service == 1 ? m_context.state.RSendService1 : m_context.state.RSendService2;
    const Dialogs::Answer answer = m_context.dialogs.message(
        "This Option will call automaticaly the Rundsenden service and transmit all the subscribers from the "
        "Rundsenden list. After the connection is established you will receive a prompt to send your message.!",
        Dialogs::Icon::Critical, Dialogs::Buttons::YesNo, Dialogs::Answer::No,
        "Quillnet Rundsenden Service on " + vbStr(number));
    if (answer != Dialogs::Answer::Yes)
        return;
    if (!portGuard(m_context))
        return;
    m_terminal.CallNumber(plainNumber(number), "    Rundsenden");
    m_context.state.RSendPending = true;
    m_terminal.lblRSend_1->setEnabled(false);
    m_terminal.lblRsend_2->setEnabled(false);
}

void BroadcastSending::lblSendNumbers_Click()
{
    if (!connectionGuard(m_context))
        return;
    sendReceiverList();
}

void BroadcastSending::sendReceiverList()
{
    // The service's prompt may arrive again while the list is going out;
    // the list goes out once.
    if (m_sending)
        return;
    AppState& state = m_context.state;
    if (!state.RSendListSent) {
        m_sending = true;
        // A missing or unreadable list sends only the line feed; the
        // confirmation still follows.
        const QStringList lines = splitLines(readTextFile(state.folder.file("\\RSend.txt")).value_or(QString()));
        m_terminal.SendTxt("\n");
        for (const QString& line : lines) {
            m_terminal.SendTxt(line);
            Pause(kLinePause);
        }
        state.RSendListSent = true;
        m_sending = false;
    }
    m_context.dialogs.message(
        "The Subscriber number list was transmitted correctly, you may send your message now...  end with +++ ");
    state.RSendPending = false;
    state.RSendListSent = false;
    m_terminal.lblRSend_1->setEnabled(true);
    m_terminal.lblRsend_2->setEnabled(true);
}
