#pragma once

// The ways a program folder refuses a write, made for one test: a read-only
// folder, and a folder on a small file system with no room left, or with
// one page left, so that a larger write is taken only in part (a tmpfs
// mounted over the folder, its files copied in, the rest of its room taken
// by a filler file). They need root; `skipReason()` says why a fault could
// not be made, for QSKIP.

#include "support/ReadOnlyFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <memory>
#include <unistd.h>

// Every file of a folder and its bytes (sub-folders included, by relative path).
using FolderBytes = QMap<QString, QByteArray>;

inline FolderBytes folderBytes(const QString& folder)
{
    FolderBytes files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(folder).relativeFilePath(path), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

// A full file system over `folder` for the object's lifetime. The files the
// folder held are there, byte for byte; not one more byte fits, or only
// `roomLeft` bytes (rounded to whole pages).
class FullFolder {
public:
    static constexpr const char* kFiller = ".filler";

    explicit FullFolder(QString folder, qint64 roomLeft = 0) : m_folder(std::move(folder))
    {
        if (::geteuid() != 0) {
            m_skipReason = "a full file system is made with a tmpfs mount, which needs root";
            return;
        }
        // Copies of the files, to put back on the new file system.
        const FolderBytes files = folderBytes(m_folder);
        const int mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4m,mode=0755", "tmpfs", m_folder});
        if (mounted != 0) {
            m_skipReason = "mounting a tmpfs failed on this machine";
            return;
        }
        m_mounted = true;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = m_folder + "/" + it.key();
            QDir().mkpath(QFileInfo(path).path());
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(it.value()) != it.value().size()) {
                m_skipReason = "the folder's files do not fit on the small file system";
                return;
            }
        }
        fill();
        if (roomLeft > 0) {
            QFile filler(m_folder + "/" + kFiller);
            filler.resize(std::max<qint64>(0, filler.size() - roomLeft));
        }
    }
    ~FullFolder()
    {
        if (m_mounted && QProcess::execute("umount", {m_folder}) != 0)
            QProcess::execute("umount", {"-l", m_folder});
    }

    QString skipReason() const { return m_skipReason; }
    // The folder's files, without the filler.
    FolderBytes files() const
    {
        FolderBytes bytes = folderBytes(m_folder);
        bytes.remove(kFiller);
        return bytes;
    }
    // Whether a write of one byte still succeeds (it must not).
    bool hasRoom() const
    {
        QFile probe(m_folder + "/probe.tmp");
        const bool written = probe.open(QIODevice::WriteOnly) && probe.write("x", 1) == 1 && probe.flush();
        probe.close();
        probe.remove();
        return written;
    }

private:
    // Takes every byte left: large blocks first, then smaller ones.
    void fill()
    {
        QFile filler(m_folder + "/" + kFiller);
        filler.open(QIODevice::WriteOnly);
        for (qint64 block = 1 << 20; block >= 1; block /= 4) {
            const QByteArray bytes(block, 'f');
            while (filler.write(bytes) == block && filler.flush()) {
            }
            filler.unsetError();
        }
    }

    QString m_folder;
    QString m_skipReason;
    bool m_mounted = false;
};

// The first file, by name, that is not in both folders' files or differs,
// leaving out the `ignored` names and a full folder's filler; empty when the
// two are alike.
inline QString changedFile(const FolderBytes& before, const FolderBytes& after, const QStringList& ignored = {})
{
    for (const QString& name : before.keys() + after.keys()) {
        if (name == FullFolder::kFiller || ignored.contains(name))
            continue;
        if (before.contains(name) != after.contains(name) || before.value(name) != after.value(name))
            return name;
    }
    return QString();
}

// One of the faults, by name ("read-only", "full" or "nearly full": one
// page of room).
class FolderFault {
public:
    FolderFault(const QString& kind, const QString& folder)
    {
        if (kind == "full" || kind == "nearly full") {
            const bool nearly = kind == "nearly full";
            m_full = std::make_unique<FullFolder>(folder, nearly ? 4096 : 0);
            m_skipReason = m_full->skipReason();
            if (m_skipReason.isEmpty() && m_full->hasRoom() != nearly)
                m_skipReason = "the small file system does not have the room it was given";
        } else {
            m_readOnly = std::make_unique<ReadOnlyFolder>(folder);
            if (!m_readOnly->effective())
                m_skipReason = "this file system cannot make a folder read-only";
        }
    }
    QString skipReason() const { return m_skipReason; }
    // The error a refused write meets: no room, or (as root, where the
    // folder is made immutable) not permitted, else no access.
    int cause() const { return m_full ? ENOSPC : ::geteuid() == 0 ? EPERM : EACCES; }

private:
    std::unique_ptr<ReadOnlyFolder> m_readOnly;
    std::unique_ptr<FullFolder> m_full;
    QString m_skipReason;
};
