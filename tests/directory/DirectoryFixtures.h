#pragma once

// What the directory tests share: a real vornak-dirserver, phonebook
// records and the three directory files as they stand.
#include "support/TestEnvironment.h"

#include "directory/PhonebookFile.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

// Started on 127.0.0.1 with a free port, stopped when the object goes.
class DirServerProcess {
public:
    explicit DirServerProcess(const QStringList& arguments)
    {
        const QString build = qEnvironmentVariable("VORNAK_BUILD_DIR", QCoreApplication::applicationDirPath() + "/..");
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(build + "/vornak-dirserver", QStringList{"--address", "127.0.0.1", "--port", "0"} + arguments);
        // The first line names the port: "... on 127.0.0.1:PORT".
        static const QRegularExpression portLine(QStringLiteral("on 127\\.0\\.0\\.1:(\\d+)\\n"));
        while (m_port == 0 && m_process.waitForReadyRead(5000)) {
            m_output += m_process.readAll();
            m_port = quint16(portLine.match(QString::fromLatin1(m_output)).captured(1).toUInt());
        }
    }
    ~DirServerProcess()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    quint16 port() const { return m_port; } // 0 when the server did not start
    QByteArray output() { return m_output += m_process.readAll(); }

private:
    QProcess m_process;
    QByteArray m_output;
    quint16 m_port = 0;
};

// A port nobody listens on: one that was just freed.
inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline PhonebookRecord record(int id, const QString& number, const QString& name, qint16 check = 0,
                              qint16 rsGr2 = 0)
{
    PhonebookRecord record;
    record.ID = qint16(id);
    record.setNumber(number);
    record.setName(name);
    record.Check = check;
    record.RsGr2 = rsGr2;
    record.ChangeDate = "04.12.2026";
    return record;
}

inline DirectoryFiles directoryFiles(const TestEnvironment& env) { return DirectoryFiles::in(env.makeState().folder); }

inline void writeDirectory(const TestEnvironment& env, const QVector<PhonebookRecord>& records)
{
    QString error;
    QVERIFY2(writeDirectoryFiles(directoryFiles(env), records, &error), qPrintable(error));
}

// The three directory files' bytes, and any other file a write left behind.
struct Snapshot {
    QByteArray phonebook, csv, backup;
    QStringList strays;
    bool operator==(const Snapshot&) const = default;
};

inline Snapshot snapshot(const TestEnvironment& env)
{
    QStringList strays = QDir(env.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : QDir(":/defaults").entryList(QDir::Files)
                                   + QStringList{"phonebook.txt", "phonebook.csv", "phonebook-backup.txt"})
        strays.removeAll(name);
    return {env.readFile("\\phonebook.txt"), env.readFile("\\phonebook.csv"), env.readFile("\\phonebook-backup.txt"),
            strays};
}
