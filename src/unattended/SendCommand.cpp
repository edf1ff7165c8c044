#include "unattended/SendCommand.h"

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "journal/TrafficJournal.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "link/ShowDataText.h"
#include "text/TelexText.h"
#include "unattended/InterruptSignals.h"
#include "unattended/MessageFile.h"
#include "unattended/SendArguments.h"
#include "unattended/UnattendedSender.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <cmath>
#include <memory>

namespace {

const QString kName = QStringLiteral("vornak send: ");
// The settings the port opens with, as the window's open command has them.
const QString kOpenSettings = QStringLiteral("9600,n,8,1");
// The progress line is redrawn at most this often.
constexpr int kProgressEveryMs = 200;

// A problem is one line on standard error, whatever the text it quotes.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ').replace('\r', ' ');
    return text.simplified();
}

int fail(SendConsole& console, int code, const QString& problem)
{
    console.err << kName << oneLine(problem) << Qt::endl;
    return code;
}

// The journal records the unattended send too, when the user has it on.
std::unique_ptr<TrafficJournal> startJournal(SerialLink& link, AppState& state, SettingsStore& settings,
                                             SendConsole& console)
{
    if (settings.get(setting_keys::JournalOn) != QLatin1String("1"))
        return nullptr;
    auto journal = std::make_unique<TrafficJournal>(state.folder.file("\\journal"), [&state] { return state.now(); });
    QString message;
    if (!journal->start(&message)) {
        console.err << kName << "warning: " << oneLine(message) << Qt::endl;
        return nullptr;
    }
    TrafficJournal* writer = journal.get();
    QObject::connect(&link, &SerialLink::sent, writer, &TrafficJournal::recordSent);
    QObject::connect(&link, &SerialLink::received, writer, [writer](const QByteArray& bytes) {
        const ShowDataEdit shown = prepareShowData(QString::fromLatin1(bytes));
        writer->recordReceived(shown.insert, shown.replaceLastChar);
    });
    QObject::connect(writer, &TrafficJournal::failed, writer,
                     [&console](const QString& why) { console.err << kName << "warning: " << oneLine(why) << Qt::endl; });
    return journal;
}

} // namespace

int runSendCommand(const QStringList& arguments, AppState& state, SettingsStore& settings, SendConsole console)
{
    const SendArguments parsed = parseSendArguments(arguments);
    if (parsed.help) {
        console.out << sendHelpText() << Qt::flush;
        return kSendDone;
    }
    if (!parsed.request)
        return fail(console, kSendUsage, parsed.problem);
    const SendRequest& request = *parsed.request;

    // The message first: a missing file touches neither port nor line.
    MessageFile message = readMessageFile(request.file);
    if (!message.problem.isEmpty())
        return fail(console, kSendFile, message.problem);
    UnattendedSender::Job job;
    job.content = telexFileText(message.text).value_or(QString());
    message.text.clear();
    job.number = request.number;
    job.dialPrefix = state.DialPrefix;
    job.charDelay = state.CharDelay;
    job.answerback = request.answerback;
    job.timeoutMs = int(std::lround(request.timeoutSeconds * 1000));

    SerialLink link(settings);
    QString error;
    if (!restorePortSettings(link, settings, &error))
        return fail(console, kSendPort, error);
    if (request.port && !link.setPortNumber(*request.port, &error))
        return fail(console, kSendPort, error);
    link.setSettings(kOpenSettings);

    std::unique_ptr<TrafficJournal> journal = startJournal(link, state, settings, console);

    UnattendedSender sender(link);
    std::unique_ptr<InterruptSignals> interrupts;
    if (console.catchInterrupts)
        interrupts = std::make_unique<InterruptSignals>([&sender] { sender.interrupt(); });

    QElapsedTimer sinceShown;
    bool progressOnScreen = false;
    if (console.progressShown) {
        console.err << kName << "dialling " << request.number << " on Com " << link.portNumber() << Qt::endl;
        QObject::connect(&sender, &UnattendedSender::answered, &sender, [&](const QString& answerback) {
            console.err << kName << "answerback: " << answerback << Qt::endl;
        });
        QObject::connect(&sender, &UnattendedSender::progress, &sender, [&](qsizetype sent, qsizetype total) {
            if (sent < total && sinceShown.isValid() && sinceShown.elapsed() < kProgressEveryMs)
                return;
            sinceShown.start();
            console.err << "\r" << kName << sent << "/" << total << " characters" << Qt::flush;
            progressOnScreen = true;
        });
    }

    const UnattendedSender::Outcome outcome = sender.run(job);
    if (journal)
        journal->stop();
    if (progressOnScreen)
        console.err << Qt::endl;
    if (outcome.exitCode != kSendDone)
        return fail(console, outcome.exitCode, outcome.problem);
    if (console.progressShown)
        console.err << kName << "sent " << outcome.sent << " characters to " << request.number << Qt::endl;
    return kSendDone;
}
