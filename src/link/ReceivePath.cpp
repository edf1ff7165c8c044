#include "link/ReceivePath.h"

#include "appearance/SoundEffects.h"
#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/SerialLink.h"
#include "link/ShowDataText.h"
#include "link/TerminalText.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

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

// The longest pattern less one character: all of a pattern that may have
// begun in the text so far.
constexpr qsizetype kWatchTail = qsizetype(sizeof(" text eingeben.")) - 2;

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
    // The receive path waits only for an automatic answer, a receiver list
    // or the key sound's hold (see showText()).
    link.setHandlersWait([this] {
        const AppState& state = m_host.state();
        return state.KlklAuto || state.RSendPending || !state.SoundMuted;
    });
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
    // One buffer serves both watches: a text goes into it once, whichever of
    // them is on. The KLKL watch looks only at what came while the answer
    // was switched on and not itself being sent; the broadcast watch at what
    // came while a broadcast call waited for its receiver list.
    const bool klklWatch = state.KlklAuto && !state.KlklBusy;
    const bool broadcastWatch = state.RSendPending && !state.RSendListSent;
    if (klklWatch || broadcastWatch)
        m_watch += edit.insert;
    if (!klklWatch)
        m_klklFrom = m_watch.size();
    m_host.terminal().appendLineText(edit.insert, edit.replaceLastChar);
    m_host.status().setRxLit(true);
    if (fromLine)
        emit lineTextShown(edit.insert, edit.replaceLastChar);

    // An answer forgets the text up to its last "klkl"; what followed it in
    // the same piece may still be the broadcast prompt.
    const QLatin1String klkl("klkl");
    if (klklWatch && m_watch.indexOf(klkl, m_klklFrom) >= 0) {
        state.KlklBusy = true;
        forgetWatched(m_watch.lastIndexOf(klkl) + klkl.size());
        emit klklRequested();
        state.KlklBusy = false;
    }

    if (state.RSendPending && !state.RSendListSent) {
        if (m_watch.contains(QLatin1String(" +++):"))) {
            forgetWatched(m_watch.size());
            emit receiverListRequested();
        }
        if (m_watch.contains(QLatin1String(" text eingeben."))) {
            forgetWatched(m_watch.size());
            emit receiverListRequested();
        }
    }
    // Only the end of the buffer can still begin a pattern: the watch keeps
    // no more than that however long it looks.
    forgetWatched(m_watch.size() - kWatchTail);

    // The key sound, held and then closed as its sound button does. Text
    // that arrives while it is held is shown without a sound of its own.
    if (!state.SoundMuted && !m_keySoundHeld) {
        m_keySoundHeld = true;
        m_host.sounds().playHeld("\\soundplain.wav", SoundEffects::kKeySoundMs);
        m_keySoundHeld = false;
    }
    // The caret follows the text to the end when it reaches the screen.
}

void ReceivePath::forgetWatched(qsizetype count)
{
    count = std::clamp<qsizetype>(count, 0, m_watch.size());
    m_watch.remove(0, count);
    m_klklFrom = std::max<qsizetype>(0, m_klklFrom - count);
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
