#include "journal/TrafficJournal.h"

#include "journal/DiskSync.h"

#include <QDir>
#include <filesystem>

QString TrafficJournal::problemText(const QString& path, const QString& reason)
{
    return QStringLiteral("The traffic journal cannot be written to %1:\n%2\n"
                          "The journal is switched off; the terminal carries on.")
        .arg(QDir::toNativeSeparators(path), reason);
}

TrafficJournal::TrafficJournal(QString folder, std::function<QDateTime()> now, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_now(std::move(now))
{
    m_gatherTimer.setSingleShot(true);
    m_gatherTimer.setInterval(kGatherMs);
    connect(&m_gatherTimer, &QTimer::timeout, this, [this] {
        // Lines that came while the last write was recent: written now, and
        // the next ones gather again for a moment.
        if (m_on && !m_gathered.isEmpty()) {
            writeGathered();
            if (m_on)
                m_gatherTimer.start();
        }
    });
    m_sync = std::make_unique<DiskSync>(this, [this](const QString& reason) {
        if (m_on)
            fail(m_file.fileName(), reason);
    });
}

TrafficJournal::~TrafficJournal()
{
    stop();
    m_sync.reset();
}

bool TrafficJournal::start(QString* error)
{
    if (m_on)
        return true;
    m_sinceRead.invalidate();
    const QDate today = now().date();
    std::error_code made;
    std::filesystem::create_directories(QFile::encodeName(m_folder).toStdString(), made);
    if (made) {
        *error = problemText(m_folder, QString::fromLocal8Bit(made.message()));
        return false;
    }
    QString reason;
    if (!openFor(today, &reason)) {
        *error = problemText(m_file.fileName(), reason);
        return false;
    }
    m_received = LineCollector();
    m_sent = LineCollector();
    m_on = true;
    return true;
}

void TrafficJournal::stop()
{
    if (!m_on)
        return;
    // The lines in progress went over the line too.
    if (std::optional<LineCollector::Line> line = m_received.takePending())
        take(line->started, line->text, Direction::Received);
    if (std::optional<LineCollector::Line> line = m_sent.takePending())
        take(line->started, line->text, Direction::Sent);
    writeGathered();
    m_gatherTimer.stop();
    m_on = false;
    m_file.close();
    m_sync->waitUntilDone();
}

void TrafficJournal::recordReceived(const QString& shownText, bool replacedLast)
{
    if (!m_on)
        return;
    if (replacedLast)
        m_received.dropLastCharacter();
    m_received.add(shownText, now(), [this](const QDateTime& started, QStringView line) { take(started, line, Direction::Received); });
    lineTaken();
}

void TrafficJournal::recordSent(const QByteArray& bytes)
{
    if (!m_on)
        return;
    m_sent.add(QString::fromLatin1(bytes), now(), [this](const QDateTime& started, QStringView line) { take(started, line, Direction::Sent); });
    lineTaken();
}

QDateTime TrafficJournal::now()
{
    // Between readings the last one stands: it is at most kClockReadMs old.
    if (!m_sinceRead.isValid() || m_sinceRead.elapsed() >= m_clockReadMs) {
        m_lastRead = m_now();
        m_sinceRead.start();
    }
    return m_lastRead;
}

void TrafficJournal::flush()
{
    writeGathered();
}

void TrafficJournal::waitForDisk()
{
    m_sync->waitUntilDone();
}

void TrafficJournal::take(const QDateTime& started, QStringView text, Direction direction)
{
    if (!m_on)
        return;
    const QDate day = started.date();
    // A new day starts a new file: what belongs to the old day goes there
    // first.
    if (!m_gathered.isEmpty() && day != m_gatheredDay) {
        writeGathered();
        if (!m_on)
            return;
    }
    m_gatheredDay = day;
    appendJournalLine(m_gathered, started.time(), direction, text);
}

void TrafficJournal::lineTaken()
{
    if (m_on && !m_gathered.isEmpty() && !m_gatherTimer.isActive()) {
        writeGathered();
        if (m_on)
            m_gatherTimer.start();
    }
}

void TrafficJournal::writeGathered()
{
    if (!m_on || m_gathered.isEmpty())
        return;
    QString reason;
    if (m_gatheredDay != m_fileDay && !openFor(m_gatheredDay, &reason)) {
        fail(m_file.fileName(), reason);
        return;
    }
    const qint64 written = m_file.write(m_gathered);
    if (written != m_gathered.size()) {
        fail(m_file.fileName(), m_file.errorString());
        return;
    }
    m_gathered.resize(0); // keeps its room for the next lines
    m_sync->request(int(m_file.handle()));
}

bool TrafficJournal::openFor(const QDate& day, QString* reason)
{
    m_file.close();
    m_file.setFileName(m_folder + "/" + journalFileName(day));
    // Unbuffered: every write goes to the system at once.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *reason = m_file.errorString();
        return false;
    }
    m_fileDay = day;
    return true;
}

void TrafficJournal::fail(const QString& path, const QString& reason)
{
    m_on = false;
    m_gathered.clear();
    m_gatherTimer.stop();
    m_file.close();
    m_fileDay = QDate();
    emit failed(problemText(path, reason));
}
