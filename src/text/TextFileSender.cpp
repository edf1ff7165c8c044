#include "text/TextFileSender.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "link/Guards.h"
#include "core/StatusPanel.h"
#include "app/TerminalContext.h"
#include "app/terminal.h"
#include "text/Pause.h"
#include "text/SendFiles.h"
#include "text/TransmissionControl.h"
#include "text/frmCancelSend.h"

#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString kScratchName = QStringLiteral("\\SendFile.txt");
constexpr int kChooseMode = 5;

enum class Lookup { Exists, Missing, Failed };

// Whether a path exists; a failure other than "no such file" (a name too
// long, a loop of links, a folder that may not be searched) is reported.
Lookup lookUp(const QString& path, QString* reason)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return Lookup::Exists;
    if (errno == ENOENT || errno == ENOTDIR)
        return Lookup::Missing;
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return Lookup::Failed;
}

} // namespace

TextFileSender::TextFileSender(TransmissionKit kit, std::function<void()> clearPreview, QObject* parent)
    : QObject(parent), m_kit(kit), m_clearPreview(std::move(clearPreview))
{
    frmTerminal& window = m_kit.window;
    connect(window.lblSendText1, &CommandLabel::clicked, this, &TextFileSender::lblSendText1_Click);
    connect(window.lblSendHeader, &CommandLabel::clicked, this, &TextFileSender::lblSendHeader_Click);
    connect(window.lblSendHeadlines, &CommandLabel::clicked, this, &TextFileSender::lblSendHeadlines_Click);
    connect(window.lblSendMessage, &CommandLabel::clicked, this, &TextFileSender::lblSendMessage_Click);
}

void TextFileSender::lblSendText1_Click()
{
    runCommand(" You are about to send a Text File ", "Send Message", QString());
}

void TextFileSender::lblSendHeader_Click()
{
    runCommand(" You are about to send the Header File ", "Send Header", "\\RSHeader.txt");
}

void TextFileSender::lblSendHeadlines_Click()
{
    runCommand(" You are about to send the Headlines File ", "Send Message", "\\Headline1.txt", true);
}

void TextFileSender::lblSendMessage_Click()
{
    runCommand(" You are about to send the Message File ", "Send Message", "\\Message.txt");
}

void TextFileSender::runCommand(const QString& question, const QString& action, const QString& fileName,
                                bool headline)
{
    Dialogs& dialogs = m_kit.context.dialogs;
    dialogs.beep();
    if (dialogs.message(question, Dialogs::Icon::None, Dialogs::Buttons::YesNo, Dialogs::Answer::Yes)
        != Dialogs::Answer::Yes)
        return;
    // The headline editor stores the headlines and writes the chosen one
    // first; when it cannot, it has said why, and an old file is not sent.
    if (headline && m_beforeHeadlineSend && !m_beforeHeadlineSend()) {
        m_kit.control.restoreCommands();
        return;
    }
    m_kit.context.status.setAction(action);
    SendTextFile(fileName.isEmpty() ? QString() : m_kit.context.state.folder.file(fileName), kChooseMode);
    m_kit.control.restoreCommands();
}

void TextFileSender::SendTextFile(const QString& path, int /*mode: only one kind of sending exists*/)
{
    if (!connectionGuard(m_kit.context))
        return;
    AppState& state = m_kit.context.state;
    TransmissionControl::Running running(m_kit.control, TransmissionControl::Running::Long);
    state.StopSend = false;

    if (path.isEmpty()) {
        const std::optional<QString> chosen = chooseFile();
        if (!chosen) {
            m_kit.finish();
            return;
        }
    } else {
        m_transmitFile = path;
    }

    // Reading and converting a large file takes a while: Cancel is offered
    // from the start, and a Cancel then sends nothing at all.
    const QString status = "Transmitting  TextFile: " + m_transmitFile;
    m_kit.cancelWindow.setStatus(status);
    m_kit.cancelWindow.showForTransmission();
    const std::optional<QString> content = prepare();
    if (content && !state.StopSend) {
        m_kit.cancelWindow.setStatus(status);
        m_kit.context.status.setAction("Transmitting TextFile: " + m_transmitFile);
        m_kit.cancelWindow.showForTransmission();
        if (m_kit.lineOpen()) {
            m_kit.context.link.send("\r");
            if (m_clearPreview)
                m_clearPreview();
            transmit(*content);
        } else {
            portGuard(m_kit.context);
        }
    }
    m_kit.finish();
}

std::optional<QString> TextFileSender::chooseFile()
{
    Dialogs& dialogs = m_kit.context.dialogs;
    Dialogs::FileRequest request;
    request.title = "Send Text File";
    request.filter = "Text Files (*.TXT)|*.txt|All Files (*.*)|*.*";
    request.startFolder = m_transmitFile.isEmpty() ? m_kit.context.state.folder.path()
                                                   : QFileInfo(m_transmitFile).absolutePath();
    for (;;) {
        const QString chosen = dialogs.openFile(request);
        if (chosen.isEmpty())
            return std::nullopt;
        m_transmitFile = chosen;
        QString reason;
        switch (lookUp(chosen, &reason)) {
        case Lookup::Exists:
            return chosen;
        case Lookup::Failed:
            m_kit.reportFileProblem(chosen, reason);
            return std::nullopt;
        case Lookup::Missing:
            dialogs.warn(chosen + " not found!");
            break;
        }
    }
}

std::optional<QString> TextFileSender::prepare()
{
    Breather breather(m_kit.context.state.StopSend);
    SourceText source = readSourceFile(m_transmitFile, breather.asFunction());
    if (!source.problem.isEmpty())
        m_kit.reportFileProblem(m_transmitFile, source.problem);
    if (!source.ok())
        return std::nullopt;
    m_transmitColumn += int(std::min<qsizetype>(source.text.size(), INT_MAX - m_transmitColumn));

    const QString text = std::move(source.text);
    return m_kit.wrapToScratch(text, m_kit.context.state.folder.file(kScratchName), breather);
}

void TextFileSender::transmit(const QString& content)
{
    const AppState& state = m_kit.context.state;
    CharacterPacer pacer(state.CharDelay);
    for (const QChar c : content) {
        if (state.StopSend || !m_kit.lineOpen())
            break;
        if (c == u'\r')
            m_transmitColumn = 0;
        // The text is already spelled; a line feed is dropped.
        m_kit.sendPaced(c == u'\n' ? QString() : QString(c), pacer);
        if (m_transmitColumn < INT_MAX)
            ++m_transmitColumn;
        m_kit.context.status.showCount(m_transmitColumn);
    }
}
