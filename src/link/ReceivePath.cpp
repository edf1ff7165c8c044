#include "link/ReceivePath.h"

#include "app/CommandHost.h"
#include "appearance/SoundEffects.h"
#include "core/AppState.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/SerialLink.h"
#include "link/ShowDataText.h"
#include "link/TerminalText.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// Modem lines and errors as the status line names them.
QString eventName(int code)
{
    switch (code) {
    case 3: return "Change in CTS Detected";
    case 4: return "Change in DSR Detected";
    case 5: return "Change in CD Detected";
    case 6: return "The Phone is Ringing";
    case 7: return "End of File Detected";
    default: return QString();
    }
}

QString errorName(int code)
{
    switch (code) {
    case 1001: return "Break Received";
    case 1002: return "CTS Timeout";
    case 1003: return "DSR Timeout";
    case 1004: return "Framing Error";
    case 1006: return "Overrun Error";
    case 1007: return "Carrier Detect Timeout";
    case 1008: return "Receive Buffer Overflow";
    case 1009: return "Parity Error";
    case 1010: return "Transmit Buffer Full";
    case 1011: return "Error retrieving DCB";
    default: return "Unknown error or event";
    }
}

} // namespace

ReceivePath::ReceivePath(CommandHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    connect(host.addCommand("Line", "lblClear", "Clear Text", "Clears text window"), &CommandLabel::clicked, this,
            &ReceivePath::lblClear_Click);
    connect(host.addCommand("Line", "lblLogbook", "Logbook", "Opens the Logbook"), &CommandLabel::clicked, this,
            &ReceivePath::lblLogbook_Click);

    SerialLink& link = host.link();
    connect(&link, &SerialLink::received, this,
            [this](const QByteArray& bytes) { onCommEvent(SerialLink::Receive, bytes); });
    connect(&link, &SerialLink::transmitted, this, [this] { onCommEvent(SerialLink::Transmit); });
    connect(&link, &SerialLink::lineEvent, this, [this](int code) { onCommEvent(code); });
    connect(&link, &SerialLink::errorEvent, this, [this](int code) { onCommEvent(code); });
}

void ReceivePath::onCommEvent(int code, const QByteArray& received)
{
    StatusPanel& status = m_host.status();
    switch (code) {
    case SerialLink::Transmit:
        status.setTxLit(true);
        status.setRxLit(false);
        break;
    case SerialLink::Receive:
        status.setRxLit(true);
        status.setTxLit(false);
        showText(QString::fromLatin1(received), true);
        break;
    case 3: case 4: case 5: case 6: case 7:
        EventText = eventName(code);
        break;
    default:
        ErrorText = errorName(code);
        break;
    }
    if (!EventText.isEmpty())
        status.showEventText(EventText);
    else if (!ErrorText.isEmpty())
        status.setAction("Status: " + ErrorText);
}

void ReceivePath::ShowData(const QString& text)
{
    showText(text, false);
}

void ReceivePath::showText(const QString& text, bool fromLine)
{
    AppState& state = m_host.state();
    if (m_host.terminal().lineLength() > kWindowLimit)
        m_host.terminal().dropHead(kTrimCount);

    const ShowDataEdit edit = prepareShowData(text);
    if (state.KlklAuto && !state.KlklBusy)
        m_watch += edit.insert;
    m_host.terminal().appendLineText(edit.insert, edit.replaceLastChar);
    m_host.status().setRxLit(true);
    if (fromLine)
        emit lineTextShown(edit.insert, edit.replaceLastChar);

    // The broadcast watch shares the buffer; "klkl" answers only while the
    // automatic answer is switched on.
    if (state.KlklAuto && m_watch.contains(QLatin1String("klkl"))) {
        state.KlklBusy = true;
        m_watch.clear();
        emit klklRequested();
        state.KlklBusy = false;
    }

    if (state.RSendPending && !state.RSendListSent) {
        m_watch += edit.insert;
        if (m_watch.contains(QLatin1String(" +++):"))) {
            m_watch.clear();
            emit receiverListRequested();
        }
        if (m_watch.contains(QLatin1String(" text eingeben."))) {
            m_watch.clear();
            emit receiverListRequested();
        }
    }

    m_host.sounds().play("\\soundplain.wav");
    // The caret follows the text to the end when it reaches the screen.
}

void ReceivePath::lblClear_Click()
{
    m_host.desk().hidePanel("frameHeadLine");
    m_host.terminal().setLineText(QString());
    m_host.status().setAction("Text Cancelled");
    m_host.state().ColumnCount = 0;
    m_host.status().resetColumn();
}

void ReceivePath::lblLogbook_Click()
{
    // The log book is the user's own file; the terminal only opens it.
    const QString path = m_host.state().folder.file("\\vornak.log");
    if (!QFileInfo::exists(path)) {
        m_host.dialogs().warn(QStringLiteral("There is no log book yet: %1 does not exist.").arg(path));
        return;
    }
    if (!m_host.dialogs().openExternal(QUrl::fromLocalFile(path)))
        m_host.dialogs().warn(QStringLiteral("No text editor could be started for the log book %1.").arg(path));
}
