#include "link/ReceivePath.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "appearance/SoundEffects.h"
#include "link/SerialLink.h"
#include "link/ShowDataText.h"
#include "link/TerminalText.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

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

constexpr int kColumnYellow = 55;
constexpr int kColumnRed = 64;
constexpr int kLineLength = 68;

} // namespace

ReceivePath::ReceivePath(TerminalContext& context, TerminalText& txtTerm, QWidget& frameHeadLine,
                         SoundEffects& sounds, QObject* parent)
    : QObject(parent), m_context(context), m_txtTerm(txtTerm), m_frameHeadLine(frameHeadLine), m_sounds(sounds)
{
}

void ReceivePath::onCommEvent(int code, const QByteArray& received)
{
    StatusPanel& status = m_context.status;
    switch (code) {
    case SerialLink::Transmit:
        status.setTxLit(true);
        status.setRxLit(false);
        break;
    case SerialLink::Receive:
        status.setRxLit(true);
        status.setTxLit(false);
        ShowData(QString::fromLatin1(received));
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
    AppState& state = m_context.state;
    if (m_txtTerm.lineLength() > kWindowLimit)
        m_txtTerm.dropHead(kTrimCount);

    const ShowDataEdit edit = prepareShowData(text);
    if (state.KlklAuto && !state.KlklBusy)
        m_watch += edit.insert;
    m_txtTerm.appendLineText(edit.insert, edit.replaceLastChar);
    m_context.status.setRxLit(true);

    // The broadcast watch shares the buffer; "klkl" answers only while the
    // automatic answer is switched on.
    if (state.KlklAuto && m_watch.contains(QLatin1String("klkl"))) {
        state.KlklBusy = true;
        m_watch.clear();
        if (klklAnswer)
            klklAnswer();
        state.KlklBusy = false;
    }

    if (state.RSendPending && !state.RSendListSent) {
        m_watch += edit.insert;
        if (m_watch.contains(QLatin1String(" +++):"))) {
            m_watch.clear();
            if (receiverListRequested)
                receiverListRequested();
        }
        if (m_watch.contains(QLatin1String(" text eingeben."))) {
            m_watch.clear();
            if (receiverListRequested)
                receiverListRequested();
        }
    }

    m_sounds.play("\\soundplain.wav");
    // The caret follows the text to the end when it reaches the screen.
}

bool ReceivePath::keyPressed(int code)
{
    if (!m_context.link.isOpen())
        return false;
    AppState& state = m_context.state;
    StatusPanel& status = m_context.status;
    if (code == 13) {
        m_context.link.send("\r");
        state.ColumnCount = 0;
        status.resetColumn();
    } else {
        m_context.link.send(QString(QChar(code)));
        ++state.ColumnCount;
        status.showCount(state.ColumnCount);
        status.extendRuler();
        if (state.ColumnCount == kColumnYellow) {
            status.setColumnColor(StatusPanel::yellow());
        } else if (state.ColumnCount == kColumnRed) {
            m_context.dialogs.beep();
            status.setColumnColor(StatusPanel::red());
        } else if (state.ColumnCount > kLineLength) {
            m_context.link.send("\r");
            state.ColumnCount = 0;
            status.resetColumn();
        }
    }
    m_txtTerm.showPending();
    return true;
}

void ReceivePath::lblClear_Click()
{
    m_frameHeadLine.hide();
    m_txtTerm.setLineText(QString());
    m_context.status.setAction("Text Cancelled");
    m_context.state.ColumnCount = 0;
    m_context.status.resetColumn();
}

void ReceivePath::lblLogbook_Click()
{
    const QString path = m_context.state.folder.file("\\vornak.log");
    if (!QFileInfo::exists(path)) {
        // An empty log book, so the editor has something to open.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            m_context.dialogs.warn(QStringLiteral("The log book %1 does not exist and cannot be created: %2")
                                       .arg(path, file.errorString()));
            return;
        }
    }
    if (!m_context.dialogs.openExternal(QUrl::fromLocalFile(path)))
        m_context.dialogs.warn(QStringLiteral("No text editor could be started for the log book %1.").arg(path));
}
