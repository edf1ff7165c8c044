#include "station/Station.h"

#include "archive/ArchiveRecorder.h"
#include "archive/ArchiveWriter.h"
#include "core/AppState.h"
#include "core/EventWait.h"
#include "core/TextFiles.h"
#include "link/SerialLink.h"
#include "link/ShowDataText.h"
#include "station/StationLog.h"
#include "text/KlklText.h"
#include "text/Pause.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {
const QString kKlklRequest = QStringLiteral("klkl");
// What waits for the line when the station stops gets this long to go out.
constexpr int kDrainMs = 3000;
} // namespace

Station::Station(SerialLink& link, AppState& state, StationLog& log, Options options, QObject* parent)
    : QObject(parent),
      m_link(link),
      m_state(state),
      m_log(log),
      m_options(std::move(options)),
      m_recorder(new ArchiveRecorder(m_options.archiveFolder, [&state] { return state.now(); }, this))
{
    m_recorder->setQuietMs(m_options.quietMs);
    connect(&m_link, &SerialLink::received, this, &Station::onReceived);
    connect(&m_link, &SerialLink::sent, m_recorder, &ArchiveRecorder::noteSent);
    connect(&m_link, &SerialLink::deviceLost, this, &Station::onLost);
    connect(&m_watcher, &PortWatcher::deviceReturned, this, &Station::onReturned);

    connect(m_recorder, &ArchiveRecorder::messageStarted, this,
            [this](const QString& file) { m_log.write(StationLog::Info, "message started: " + file); });
    connect(m_recorder, &ArchiveRecorder::messageEnded, this, [this](const ArchivedMessage& message) {
        m_log.write(StationLog::Info, QStringLiteral("message ended: %1, %2 characters: %3")
                                          .arg(message.file).arg(message.bytes).arg(message.firstLine));
    });
    ArchiveWriter& writer = m_recorder->writer();
    connect(&writer, &ArchiveWriter::failed, this,
            [this](const QString& message) { m_log.write(StationLog::Error, message); });
    connect(&writer, &ArchiveWriter::recovered, this, [this](qint64 dropped) {
        m_log.write(dropped > 0 ? StationLog::Error : StationLog::Notice,
                    dropped > 0 ? QStringLiteral("the archive is written again; %1 characters could not be kept").arg(dropped)
                                : QStringLiteral("the archive is written again; nothing was lost"));
    });
}

Station::~Station() = default;

QString Station::portName() const
{
    return QStringLiteral("Com %1 (%2)").arg(m_link.portNumber()).arg(m_link.device());
}

bool Station::start(QString* error)
{
    if (!m_link.open(error))
        return false;
    m_watcher.remember(m_link.device(), m_link.portMapped(m_link.portNumber()) ? m_link.device() : QString());
    m_log.write(StationLog::Info, "port opened: " + portName());
    return true;
}

void Station::onReceived(const QByteArray& bytes)
{
    const ShowDataEdit shown = prepareShowData(QString::fromLatin1(bytes));
    m_recorder->recordShown(shown.insert, shown.replaceLastChar);
    if (!m_options.klkl || m_answering || m_stopRequested)
        return;
    // Only the last characters can begin a "klkl" that the next text ends.
    m_watch += shown.insert;
    if (m_watch.contains(kKlklRequest)) {
        m_watch.clear();
        answerKlkl();
    } else {
        m_watch = m_watch.right(kKlklRequest.size() - 1);
    }
}

void Station::answerKlkl()
{
    QString error;
    const std::optional<QString> text = readTextFile(m_options.klklFile, &error);
    if (!text) {
        m_log.write(StationLog::Error, QStringLiteral("klkl asked for, but %1 cannot be read: %2")
                                           .arg(QDir::toNativeSeparators(m_options.klklFile), error));
        return;
    }
    m_answering = true;
    m_log.write(StationLog::Info, "klkl asked for: answering with " + QFileInfo(m_options.klklFile).fileName());
    const QVector<KlklPiece> pieces = klklPieces(klklWrappedText(*text));

    m_link.send(kKlklLineEnds);
    EventWait leadIn;
    m_leadIn = &leadIn;
    if (!m_stopRequested)
        leadIn.wait(int(kKlklLeadInSeconds * 1000));
    m_leadIn = nullptr;
    m_link.send(kKlklLineEnds);

    qsizetype sent = 0;
    CharacterPacer pacer(m_state.CharDelay);
    for (const KlklPiece& piece : pieces) {
        if (m_stopRequested || !m_link.isOpen())
            break;
        m_link.send(piece.text);
        m_link.waitForRoom(m_stopRequested);
        pacer.pauseAfterCharacter();
        ++sent;
    }
    m_link.send(kKlklLineEnds);
    m_link.send(kKlklLineEnds);
    m_answering = false;

    if (sent == pieces.size())
        m_log.write(StationLog::Info, QStringLiteral("klkl answered (%1 characters)").arg(sent));
    else
        m_log.write(StationLog::Warning, QStringLiteral("klkl answer cut short after %1 of %2 characters (%3)")
                                             .arg(sent).arg(pieces.size())
                                             .arg(m_link.isOpen() ? "the station is stopping" : "the port closed"));
    if (m_stopRequested)
        finishStop();
}

void Station::onLost(const QString& message)
{
    m_log.write(StationLog::Warning, "port lost: " + message);
    m_recorder->cut();
    m_watch.clear();
    if (m_stopRequested)
        return;
    m_lastReopenProblem.clear();
    m_watcher.watch();
    m_log.write(StationLog::Info, QStringLiteral("waiting for Com %1 (%2) to come back")
                                      .arg(m_link.portNumber()).arg(m_link.device()));
}

void Station::onReturned(const QString& device)
{
    if (m_link.isOpen() || m_stopRequested) {
        m_watcher.stop();
        return;
    }
    QString error;
    if (!m_link.openDevice(device, &error)) {
        // Often only not ready yet (the system still setting permissions):
        // the next check tries again. Each new reason is told once.
        if (error != m_lastReopenProblem)
            m_log.write(StationLog::Warning, "port not reopened yet: " + error);
        m_lastReopenProblem = error;
        return;
    }
    m_watcher.stop();
    m_log.write(StationLog::Notice, "port reopened: " + portName());
}

void Station::requestStop(const QString& why)
{
    if (m_stopRequested)
        return;
    m_stopRequested = true;
    m_log.write(StationLog::Info, "stopping: " + why);
    if (m_leadIn)
        m_leadIn->finish();
    // An answer in progress ends first and then finishes the stop.
    if (!m_answering)
        finishStop();
}

void Station::finishStop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_watcher.stop();
    m_recorder->cut();
    // What waits for the line goes out before the port closes.
    QElapsedTimer draining;
    draining.start();
    while (m_link.isOpen() && (m_link.bytesToWrite() > 0 || m_link.deviceOutputQueue() > 0)
           && draining.elapsed() < kDrainMs)
        EventWait::forMs(10);
    if (m_link.isOpen()) {
        m_link.close();
        m_log.write(StationLog::Info, "port closed: " + portName());
    }
    m_recorder->writer().retry();
    m_recorder->writer().waitForDisk();
    if (m_recorder->writer().holdsBack())
        m_log.write(StationLog::Error, "the archive could not take everything: what it could not write is lost");
    m_log.write(StationLog::Info, "stopped");
    emit stopped();
}
