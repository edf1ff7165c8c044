#include "archive/ArchiveWriter.h"

#include "journal/DiskSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes all of `bytes` from `done` on; false with errno set when the
// system refuses the rest (`done` then says how far it got).
bool writeAll(int fd, const QByteArray& bytes, qsizetype& done)
{
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

ArchiveWriter::ArchiveWriter(QString folder, QObject* parent) : QObject(parent), m_store(std::move(folder))
{
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ArchiveWriter::flush);
    m_sync = std::make_unique<DiskSync>(this, [this](const QString& reason) { trouble(m_store.folder(), reason); });
}

ArchiveWriter::~ArchiveWriter()
{
    if (m_open)
        finish(m_jobs.back().message.end.isValid() ? m_jobs.back().message.end : QDateTime::currentDateTime());
    flush();
    closeFile();
    m_sync->waitUntilDone();
    m_sync.reset();
}

QString ArchiveWriter::begin(const QDateTime& start)
{
    if (m_open)
        finish(start);
    Job job;
    job.message.start = start;
    job.message.end = start;
    // A name taken by a message still held back in memory is taken too.
    job.message.file = m_store.newMessageFile(start, [this](const QString& file) {
        return std::any_of(m_jobs.begin(), m_jobs.end(), [&](const Job& held) { return held.message.file == file; });
    });
    m_jobs.push_back(job);
    m_open = true;
    return job.message.file;
}

void ArchiveWriter::append(const QString& text)
{
    if (!m_open || text.isEmpty())
        return;
    const QByteArray bytes = text.toLatin1();
    if (m_troubled && heldBytes() + bytes.size() > kMemoryLimit) {
        m_dropped += bytes.size();
        return;
    }
    Job& job = m_jobs.back();
    job.unwritten += bytes;
    job.message.bytes += bytes.size();
    flush();
}

void ArchiveWriter::setFirstLine(const QString& line)
{
    if (m_open)
        m_jobs.back().message.firstLine = line;
}

void ArchiveWriter::finish(const QDateTime& end)
{
    if (!m_open)
        return;
    m_open = false;
    Job& job = m_jobs.back();
    job.message.end = end;
    job.finished = true;
    flush();
}

bool ArchiveWriter::holdsBack() const
{
    return std::any_of(m_jobs.begin(), m_jobs.end(), [](const Job& job) { return !job.unwritten.isEmpty() || job.finished; });
}

qsizetype ArchiveWriter::heldBytes() const
{
    qsizetype bytes = 0;
    for (const Job& job : m_jobs)
        bytes += job.unwritten.size();
    return bytes;
}

void ArchiveWriter::waitForDisk()
{
    m_sync->waitUntilDone();
}

void ArchiveWriter::flush()
{
    while (!m_jobs.empty()) {
        Job& job = m_jobs.front();
        QString reason;
        if (!writeJob(job, &reason)) {
            trouble(m_store.absolute(job.message.file), reason);
            return;
        }
        if (!job.finished)
            break; // the open message: more comes later
        if (!finishJob(job, &reason)) {
            trouble(m_store.indexPath(), reason);
            return;
        }
        const ArchivedMessage message = job.message;
        m_jobs.pop_front();
        emit written(message);
    }
    if (m_troubled) {
        m_troubled = false;
        m_retry.stop();
        emit recovered(std::exchange(m_dropped, 0));
    }
}

bool ArchiveWriter::writeJob(Job& job, QString* reason)
{
    if (job.unwritten.isEmpty())
        return true;
    if (m_fd < 0 || m_fdFile != job.message.file) {
        closeFile();
        const QString path = m_store.absolute(job.message.file);
        if (!QDir().mkpath(QFileInfo(path).path())) {
            *reason = QStringLiteral("the folder cannot be made");
            return false;
        }
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            *reason = systemReason(errno);
            return false;
        }
        m_fdFile = job.message.file;
    }
    qsizetype done = 0;
    const bool whole = writeAll(m_fd, job.unwritten, done);
    const int error = errno;
    job.unwritten.remove(0, done);
    if (done > 0)
        m_sync->request(m_fd);
    if (!whole) {
        *reason = systemReason(error);
        return false;
    }
    return true;
}

bool ArchiveWriter::finishJob(Job& job, QString* reason)
{
    if (m_fdFile == job.message.file)
        closeFile();
    // The file's modification time is the message's end: the index can be
    // rebuilt from the files.
    const QString path = m_store.absolute(job.message.file);
    if (QFileInfo::exists(path)) {
        const qint64 ms = job.message.end.toMSecsSinceEpoch();
        const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1'000'000}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    return appendIndexLine(job.message, reason);
}

bool ArchiveWriter::appendIndexLine(const ArchivedMessage& message, QString* reason)
{
    if (!QDir().mkpath(m_store.folder())) {
        *reason = QStringLiteral("the folder cannot be made");
        return false;
    }
    const int fd = ::open(QFile::encodeName(m_store.indexPath()).constData(),
                          O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    QByteArray line = ArchiveStore::indexLine(message).toLatin1() + "\r\n";
    // A line cut short by an earlier failure is ended first, so this one
    // stands on a line of its own.
    char last = '\n';
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n')
        line.prepend("\r\n");
    qsizetype done = 0;
    const bool whole = writeAll(fd, line, done);
    const int error = errno;
    if (done > 0)
        m_sync->request(fd);
    ::close(fd);
    if (!whole)
        *reason = systemReason(error);
    return whole;
}

void ArchiveWriter::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_fdFile.clear();
}

void ArchiveWriter::trouble(const QString& path, const QString& reason)
{
    if (!m_retry.isActive() && holdsBack())
        m_retry.start();
    if (m_troubled)
        return;
    m_troubled = true;
    emit failed(QStringLiteral("The message archive cannot be written to %1: %2. "
                               "The text is kept in memory and written as soon as the disk takes it.")
                    .arg(QDir::toNativeSeparators(path), reason));
}
