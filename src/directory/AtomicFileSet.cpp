#include "directory/AtomicFileSet.h"

#include "core/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemError() { return qt_error_string(errno); }

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFileSet::~AtomicFileSet()
{
    removeTemporaries();
}

bool AtomicFileSet::stage(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo target(path);
    QTemporaryFile file(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("%1 cannot be written in %2: %3")
                     .arg(target.fileName(), QDir::toNativeSeparators(target.absolutePath()), file.errorString());
        return false;
    }
    const QString temporary = file.fileName();
    m_files.append({target.absoluteFilePath(), temporary, QString(), false});

    // Straight to the descriptor, so that a full disk is reported with its
    // cause (core/DataFile).
    QString reason;
    if (writeAllBytes(int(file.handle()), bytes, &reason) == bytes.size() && ::fsync(file.handle()) != 0)
        reason = systemError();
    if (!reason.isEmpty()) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(target.fileName(), reason);
        return false;
    }
    // The new file keeps the permissions the user gave the old one.
    const QFileDevice::Permissions permissions =
        target.exists() ? QFile::permissions(path)
                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                              | QFileDevice::ReadOther;
    file.setPermissions(permissions);
    file.close();
    return true;
}

bool AtomicFileSet::commit(QString* error)
{
    for (Staged& staged : m_files) {
        const QByteArray target = QFile::encodeName(staged.target);
        if (QFileInfo::exists(staged.target)) {
            staged.kept = staged.temporary + ".old";
            if (::link(target.constData(), QFile::encodeName(staged.kept).constData()) != 0) {
                *error = QStringLiteral("%1 cannot be replaced: %2")
                             .arg(QFileInfo(staged.target).fileName(), systemError());
                staged.kept.clear();
                rollBack();
                return false;
            }
        }
        if (::rename(QFile::encodeName(staged.temporary).constData(), target.constData()) != 0) {
            *error = QStringLiteral("%1 cannot be replaced: %2")
                         .arg(QFileInfo(staged.target).fileName(), systemError());
            rollBack();
            return false;
        }
        staged.replaced = true;
        staged.temporary.clear();
    }
    for (Staged& staged : m_files) {
        if (!staged.kept.isEmpty())
            ::unlink(QFile::encodeName(staged.kept).constData());
        syncFolder(QFileInfo(staged.target).absolutePath());
    }
    m_files.clear();
    return true;
}

void AtomicFileSet::rollBack()
{
    for (Staged& staged : m_files) {
        if (!staged.replaced) {
            if (!staged.kept.isEmpty())
                ::unlink(QFile::encodeName(staged.kept).constData());
            continue;
        }
        if (staged.kept.isEmpty())
            ::unlink(QFile::encodeName(staged.target).constData());
        else
            ::rename(QFile::encodeName(staged.kept).constData(), QFile::encodeName(staged.target).constData());
    }
    removeTemporaries();
}

void AtomicFileSet::removeTemporaries()
{
    for (const Staged& staged : std::as_const(m_files)) {
        if (!staged.temporary.isEmpty())
            QFile::remove(staged.temporary);
    }
    m_files.clear();
}
