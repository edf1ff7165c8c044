#include "journal/TrafficJournal.h"

#include "core/DataFile.h"
#include "journal/DiskSync.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the file open for appending on `fd` ends inside a line. It is
// read through a descriptor of its own, since `fd` only writes.
bool endsInsideLine(int fd, const QString& path)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size == 0)
        return false;
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    char last = '\n';
    if (reader >= 0) {
        if (::pread(reader, &last, 1, info.st_size - 1) != 1)
            last = '\n';
        ::close(reader);
    }
    return last != '\n';
}

} // namespace

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
            fail(m_path, reason);
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
        *error = problemText(m_path, reason);
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
    closeFile();
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
        fail(m_path, reason);
        return;
    }
    struct stat before {};
    ::fstat(m_fd, &before);
    const qint64 written = writeAllBytes(m_fd, m_gathered, &reason);
    if (written != m_gathered.size()) {
        // The disk took part of the lines: the file keeps the whole ones
        // only, so nothing is glued to a cut line later.
        const qint64 whole = m_gathered.lastIndexOf('\n', written - 1) + 1;
        if (::ftruncate(m_fd, before.st_size + whole) != 0)
            reason += QStringLiteral(" (the last line in the file may be cut)");
        fail(m_path, reason);
        return;
    }
    m_gathered.resize(0); // keeps its room for the next lines
    m_sync->request(m_fd);
}

bool TrafficJournal::openFor(const QDate& day, QString* reason)
{
    closeFile();
    m_path = m_folder + "/" + journalFileName(day);
    // Every write goes to the system at once: nothing is buffered here.
    m_fd = openForAppend(m_path, reason);
    if (m_fd < 0)
        return false;
    // A file that ends inside a line (cut by a power failure or a killed
    // writer) gets its line end first, so the next line stands on its own.
    if (endsInsideLine(m_fd, m_path) && writeAllBytes(m_fd, "\r\n", reason) != 2) {
        closeFile();
        return false;
    }
    m_fileDay = day;
    return true;
}

void TrafficJournal::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TrafficJournal::fail(const QString& path, const QString& reason)
{
    m_on = false;
    m_gathered.clear();
    m_gatherTimer.stop();
    closeFile();
    m_fileDay = QDate();
    emit failed(problemText(path, reason));
}
