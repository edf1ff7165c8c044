#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <unistd.h>

// Makes a folder refuse new files for the lifetime of the object. As root
// the permission bits do not stop writes, so the immutable attribute is
// used; effective() tells whether either worked on this file system.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        if (::geteuid() == 0)
            m_immutable = QProcess::execute("chattr", {"+i", m_path}) == 0;
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool effective() const
    {
        QFile probe(m_path + "/probe.tmp");
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.close();
        probe.remove();
        return false;
    }

private:
    QString m_path;
    bool m_immutable = false;
};
