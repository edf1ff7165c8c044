#pragma once

// What the list tests share: subscribers, phonebook.txt written and read
// back as raw slots, and a file that refuses to be replaced.
#include "directory/DirectoryFixtures.h"

#include <QFile>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

// A subscriber before the list numbers it.
inline PhonebookRecord subscriber(const QString& number, const QString& name, qint16 check = 0, qint16 rsGr2 = 0)
{
    return record(0, number, name, check, rsGr2);
}

// The slots as a directory update writes them: IDs 1..N.
inline QByteArray phonebookBytes(QVector<PhonebookRecord> records)
{
    QByteArray bytes;
    for (int i = 0; i < records.size(); ++i) {
        records[i].ID = qint16(i + 1);
        bytes += encodeSlot(records[i]);
    }
    return bytes;
}

inline void writePhonebook(const TestEnvironment& env, const QVector<PhonebookRecord>& records)
{
    env.writeFile("\\phonebook.txt", phonebookBytes(records));
}

inline QVector<PhonebookRecord> phonebookRecords(const TestEnvironment& env)
{
    return readPhonebook(env.file("\\phonebook.txt")).records;
}

// Each record of phonebook.txt as "ID Check RsGr1 RsGr2".
inline QStringList savedMarks(const TestEnvironment& env)
{
    QStringList marks;
    for (const PhonebookRecord& r : phonebookRecords(env))
        marks << QStringLiteral("%1 %2%3%4").arg(r.ID).arg(r.Check).arg(r.RsGr1).arg(r.RsGr2);
    return marks;
}

// A file that may not be replaced while the object lives. As root the
// permission bits do not stop a write, so the file is made immutable.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(QString path) : m_path(std::move(path))
    {
        if (::geteuid() == 0)
            m_immutable = QProcess::execute("chattr", {"+i", m_path}) == 0;
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    ~ReadOnlyFile()
    {
        if (m_immutable)
            QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }
    // Whether this file system lets the test make the file read-only.
    bool effective() const { return ::geteuid() != 0 || m_immutable; }

private:
    QString m_path;
    bool m_immutable = false;
};
