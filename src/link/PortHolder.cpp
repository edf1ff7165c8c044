#include "link/PortHolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The folders the serial port library keeps its lock files in, in the
// order it tries them.
const char* const kLockFolders[] = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                                    "/tmp", "/var/tmp", "/var/lock/lockdev", "/run/lock"};

// The process holding a flock on the file with that device and inode, from
// the system's list of locks; 0 when none.
qint64 flockHolder(dev_t device, ino_t inode)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    const QString wanted = QStringLiteral("%1:%2:%3")
                               .arg(major(device), 2, 16, QChar('0'))
                               .arg(minor(device), 2, 16, QChar('0'))
                               .arg(inode);
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:3 0 EOF"; a waiter has "->" after the number.
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QStringList fields = QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() >= 6 && fields[1] == QLatin1String("FLOCK") && fields[2] != QLatin1String("->")
            && fields[5] == wanted)
            return fields[4].toLongLong();
    }
    return 0;
}

// The process named in the serial port library's lock file of `path`; 0
// when there is none.
qint64 lockFileHolder(const QString& path)
{
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    name.replace(u'/', u'_');
    for (const char* folder : kLockFolders) {
        const QString lockPath = QString::fromLatin1(folder) + "/LCK.." + name;
        if (!QFileInfo::exists(lockPath))
            continue;
        qint64 pid = 0;
        QString host;
        QString application;
        if (QLockFile(lockPath).getLockInfo(&pid, &host, &application) && pid > 0 && !programName(pid).isEmpty())
            return pid;
    }
    return 0;
}

} // namespace

bool lockPortDevice(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

QString programName(qint64 pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> words = cmdline.readAll().split('\0');
    const QString program = QFileInfo(QString::fromLocal8Bit(words.value(0))).fileName();
    if (program == QLatin1String("vornak")) {
        const QByteArray command = words.value(1);
        if (command == "station")
            return QStringLiteral("the Vornak station");
        if (command == "send")
            return QStringLiteral("vornak send");
        return QStringLiteral("the Vornak window");
    }
    if (!program.isEmpty())
        return program;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
}

QString portHolder(const QString& path)
{
    struct stat node {};
    qint64 pid = 0;
    if (::stat(QFile::encodeName(path).constData(), &node) == 0)
        pid = flockHolder(node.st_dev, node.st_ino);
    if (pid <= 0)
        pid = lockFileHolder(path);
    if (pid <= 0)
        return QString();
    if (pid == QCoreApplication::applicationPid())
        return QStringLiteral("this program (process %1)").arg(pid);
    const QString name = programName(pid);
    return name.isEmpty() ? QString() : QStringLiteral("%1 (process %2)").arg(name).arg(pid);
}
