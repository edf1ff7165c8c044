#include "station/StationCommand.h"

#include "archive/ArchiveStore.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "core/TextFiles.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "station/Station.h"
#include "station/StationArguments.h"
#include "station/StationLog.h"
#include "unattended/InterruptSignals.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <cmath>
#include <memory>

namespace {

const QString kName = QStringLiteral("vornak station: ");
// The settings the port opens with, as the window's open command has them.
const QString kOpenSettings = QStringLiteral("9600,n,8,1");

int fail(StationConsole& console, int code, QString problem)
{
    problem.replace(u'\n', u' ');
    console.err << kName << problem.simplified() << Qt::endl;
    return code;
}

// The archive folder exists and takes files; the reason when it does not.
QString archiveProblem(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("the archive folder %1 cannot be made").arg(folder);
    QTemporaryFile probe(folder + "/.vornak-station-XXXXXX");
    if (!probe.open())
        return QStringLiteral("the archive folder %1 cannot be written: %2").arg(folder, probe.errorString());
    return QString();
}

} // namespace

int runStationCommand(const QStringList& arguments, AppState& state, SettingsStore& settings, StationConsole console)
{
    const StationArguments parsed = parseStationArguments(arguments);
    if (parsed.help) {
        console.out << stationHelpText() << Qt::flush;
        return kStationStopped;
    }
    if (!parsed.request)
        return fail(console, kStationUsage, parsed.problem);
    const StationRequest& request = *parsed.request;

    Station::Options options;
    options.klkl = request.klkl;
    options.klklFile = state.folder.file("\\klkl.txt");
    options.archiveFolder = QDir::cleanPath(QFileInfo(request.archiveFolder.isEmpty()
                                                          ? state.folder.file("\\archive")
                                                          : request.archiveFolder).absoluteFilePath());
    options.quietMs = std::llround(request.quietSeconds * 1000);

    // What can be checked before the port is touched.
    if (const QString problem = archiveProblem(options.archiveFolder); !problem.isEmpty())
        return fail(console, kStationArchive, problem);
    QString error;
    if (options.klkl && !readTextFile(options.klklFile, &error))
        return fail(console, kStationFile, QStringLiteral("--klkl: %1 cannot be read: %2").arg(options.klklFile, error));

    SerialLink link(settings);
    if (!restorePortSettings(link, settings, &error))
        return fail(console, kStationPort, error);
    if (request.port && !link.setPortNumber(*request.port, &error))
        return fail(console, kStationPort, error);
    link.setSettings(kOpenSettings);

    StationLog log(console.out, console.onTerminal, [&state] { return state.now(); });
    log.write(StationLog::Info, QStringLiteral("vornak station on Com %1: archive %2, a message ends after %3 s of quiet, klkl answer %4")
                                    .arg(link.portNumber())
                                    .arg(QDir::toNativeSeparators(options.archiveFolder))
                                    .arg(request.quietSeconds)
                                    .arg(options.klkl ? "on" : "off"));
    // Messages left unindexed by an earlier run (a crash, a power cut) are
    // put into the index now.
    const ArchiveStore::Listing listing = ArchiveStore(options.archiveFolder).list(true);
    if (listing.indexWritten && (listing.fromFiles > 0 || listing.vanished > 0))
        log.write(StationLog::Notice, QStringLiteral("archive index rebuilt: %1 messages (%2 taken from their files)")
                                          .arg(listing.messages.size()).arg(listing.fromFiles));
    else if (!listing.problem.isEmpty())
        log.write(StationLog::Warning, "the archive index cannot be rebuilt: " + listing.problem);

    Station station(link, state, log, options);
    if (!station.start(&error)) {
        log.write(StationLog::Error, error);
        return fail(console, kStationPort, error);
    }
    std::unique_ptr<InterruptSignals> interrupts;
    if (console.catchInterrupts)
        interrupts = std::make_unique<InterruptSignals>(
            [&station] { station.requestStop(QStringLiteral("the system asked the station to end")); });

    QEventLoop running;
    QObject::connect(&station, &Station::stopped, &running, &QEventLoop::quit, Qt::QueuedConnection);
    running.exec();
    return kStationStopped;
}
