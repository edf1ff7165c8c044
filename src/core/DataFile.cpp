#include "core/DataFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kPieceBytes = 1 << 20;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Empty for a regular file, else what it is.
QString notRegular(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return QString();
    return S_ISDIR(info.st_mode) ? kFolderNotFile : kDeviceNotFile;
}

// Opens without waiting for a pipe's other end, and keeps the descriptor
// only when it is a regular file.
int openRegular(const QByteArray& name, int flags, QString* reason)
{
    int fd;
    do
        fd = ::open(name.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *reason = systemReason(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        *reason = systemReason(errno);
    else
        *reason = notRegular(info);
    if (!reason->isEmpty()) {
        ::close(fd);
        return -1;
    }
    // Regular files never wait; the flag would only surprise later users.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

FileBytes readFileBytes(const QString& path, qint64 maxBytes, const std::function<bool(QByteArrayView)>& keepGoing)
{
    FileBytes file;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        file.outcome = errno == ENOENT ? FileBytes::Outcome::Missing : FileBytes::Outcome::Failed;
        file.problem = systemReason(errno);
        return file;
    }
    file.problem = notRegular(info);
    if (!file.problem.isEmpty())
        return file;
    const int fd = openRegular(name, O_RDONLY, &file.problem);
    if (fd < 0)
        return file;

    const qint64 limit = maxBytes < 0 ? std::numeric_limits<qint64>::max() : maxBytes;
    file.bytes.reserve(qsizetype(std::min<qint64>(limit, std::max<qint64>(0, info.st_size))));
    while (file.bytes.size() < limit) {
        const qsizetype at = file.bytes.size();
        const qint64 piece = std::min(kPieceBytes, limit - at);
        file.bytes.resize(at + piece);
        const ssize_t got = ::read(fd, file.bytes.data() + at, size_t(piece));
        if (got < 0 && errno == EINTR) {
            file.bytes.resize(at);
            continue;
        }
        if (got < 0) {
            file.problem = systemReason(errno);
            ::close(fd);
            file.bytes.clear();
            return file;
        }
        file.bytes.resize(at + got);
        if (got == 0)
            break;
        if (keepGoing && !keepGoing(QByteArrayView(file.bytes).sliced(at))) {
            ::close(fd);
            file.bytes.clear();
            file.outcome = FileBytes::Outcome::Stopped;
            return file;
        }
    }
    ::close(fd);
    file.outcome = FileBytes::Outcome::Read;
    return file;
}

int openForAppend(const QString& path, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        *reason = notRegular(info);
        if (!reason->isEmpty())
            return -1;
    }
    return openRegular(name, O_WRONLY | O_APPEND | O_CREAT, reason);
}

qint64 writeAllBytes(int fd, QByteArrayView bytes, QString* reason)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t done = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            // A write that takes nothing and says nothing is taken as a full disk.
            *reason = systemReason(done < 0 ? errno : ENOSPC);
            return written;
        }
        written += done;
    }
    return written;
}
