#include "text/FileTransmission.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "link/SerialLink.h"
#include "text/frmCancelSend.h"
#include "text/Pause.h"
#include "text/TransmissionControl.h"
#include "text/TransmissionFiles.h"

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

FileTransmission::FileTransmission(TransmissionSteps steps, std::function<void()> clearPreview, QObject* parent)
    : QObject(parent), m_steps(steps), m_clearPreview(std::move(clearPreview))
{
    CommandHost& host = m_steps.host;
    lblSendText1 = host.addCommand("Send", "lblSendText1", "Send Text File", "Send a text file");
    lblSendHeader = host.addCommand("Send", "lblSendHeader", "Send RS List", "Send the RS Receivers list");
    lblSendHeadlines = host.addCommand("Send", "lblSendHeadlines", "Send Headline", "Send one of the selected Headlines");
    lblSendMessage = host.addCommand("Send", "lblSendMessage", "Send Message", "Send a pre-defined Message");
    connect(lblSendText1, &CommandLabel::clicked, this, &FileTransmission::lblSendText1_Click);
    connect(lblSendHeader, &CommandLabel::clicked, this, &FileTransmission::lblSendHeader_Click);
    connect(lblSendHeadlines, &CommandLabel::clicked, this, &FileTransmission::lblSendHeadlines_Click);
    connect(lblSendMessage, &CommandLabel::clicked, this, &FileTransmission::lblSendMessage_Click);
}

QList<QWidget*> FileTransmission::commands() const
{
    return {lblSendText1, lblSendHeader, lblSendHeadlines, lblSendMessage};
}

void FileTransmission::lblSendText1_Click()
{
    runCommand(" You are about to send a Text File ", "Send Message", QString());
}

void FileTransmission::lblSendHeader_Click()
{
    runCommand(" You are about to send the Header File ", "Send Header", "\\RSHeader.txt");
}

void FileTransmission::lblSendHeadlines_Click()
{
    runCommand(" You are about to send the Headlines File ", "Send Message", "\\Headline1.txt", true);
}

void FileTransmission::lblSendMessage_Click()
{
    runCommand(" You are about to send the Message File ", "Send Message", "\\Message.txt");
}

void FileTransmission::runCommand(const QString& question, const QString& action, const QString& fileName,
                                bool headline)
{
    Dialogs& dialogs = m_steps.host.dialogs();
    dialogs.beep();
    if (dialogs.message(question, Dialogs::Icon::None, Dialogs::Buttons::YesNo, Dialogs::Answer::Yes)
        != Dialogs::Answer::Yes)
        return;
    // Another transmission may be running: this one follows once it has
    // ended, so the two never mix.
    m_steps.control.runWhenFree([this, action, fileName, headline] {
        // The headline editor stores the headlines and writes the chosen one
        // first; when it cannot, it has said why, and an old file is not sent.
        if (headline && m_beforeHeadlineSend && !m_beforeHeadlineSend())
            return;
        m_steps.host.status().setAction(action);
        SendTextFile(fileName.isEmpty() ? QString() : m_steps.host.state().folder.file(fileName), kChooseMode);
    });
}

void FileTransmission::SendTextFile(const QString& path, int /*mode: only one kind of sending exists*/)
{
    if (!connectionGuard(m_steps.host))
        return;
    AppState& state = m_steps.host.state();
    TransmissionControl::Running running(m_steps.control, commands());
    state.StopSend = false;

    if (path.isEmpty()) {
        const std::optional<QString> chosen = chooseFile();
        if (!chosen) {
            m_steps.finish();
            return;
        }
    } else {
        m_transmitFile = path;
    }

    // Reading and converting a large file takes a while: Cancel is offered
    // from the start, and a Cancel then sends nothing at all.
    const QString status = "Transmitting  TextFile: " + m_transmitFile;
    m_steps.cancelWindow.setStatus(status);
    m_steps.cancelWindow.showForTransmission();
    const std::optional<QString> content = prepare();
    if (content && !state.StopSend) {
        m_steps.cancelWindow.setStatus(status);
        m_steps.host.status().setAction("Transmitting TextFile: " + m_transmitFile);
        m_steps.cancelWindow.showForTransmission();
        if (m_steps.lineOpen()) {
            m_steps.host.link().send("\r");
            if (m_clearPreview)
                m_clearPreview();
            transmit(*content);
        } else {
            portGuard(m_steps.host);
        }
    }
    m_steps.finish();
}

std::optional<QString> FileTransmission::chooseFile()
{
    Dialogs& dialogs = m_steps.host.dialogs();
    Dialogs::FileRequest request;
    request.title = "Send Text File";
    request.filter = "Text Files (*.TXT)|*.txt|All Files (*.*)|*.*";
    request.startFolder = m_transmitFile.isEmpty() ? m_steps.host.state().folder.path()
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
            m_steps.reportFileProblem(chosen, reason);
            return std::nullopt;
        case Lookup::Missing:
            dialogs.warn(chosen + " not found!");
            break;
        }
    }
}

std::optional<QString> FileTransmission::prepare()
{
    Breather breather(m_steps.host.state().StopSend);
    SourceText source = readSourceFile(m_transmitFile, breather.asFunction());
    if (!source.problem.isEmpty())
        m_steps.reportFileProblem(m_transmitFile, source.problem);
    if (!source.ok())
        return std::nullopt;
    m_transmitColumn += int(std::min<qsizetype>(source.text.size(), INT_MAX - m_transmitColumn));

    const QString text = std::move(source.text);
    return m_steps.wrapToScratch(text, m_steps.host.state().folder.file(kScratchName), breather);
}

void FileTransmission::transmit(const QString& content)
{
    m_steps.sendWrapped(content, m_transmitColumn);
}
