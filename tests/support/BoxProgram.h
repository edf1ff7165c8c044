#pragma once

// The vornak-box program, started for one test on a pseudo-terminal of its
// own; it records every byte it receives in a file and logs what it did.

#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

struct BoxProgram {
    QProcess process;
    QString device;
    QString logFile;
    QString rawFile;

    // The box prints quickly and dials 0.3 s after the last digit unless
    // other options say otherwise.
    explicit BoxProgram(const TestEnvironment& env,
                        const QStringList& options = {"--char-delay", "1", "--dial-delay", "300"})
        : logFile(env.folder() + "/box.log"), rawFile(env.folder() + "/box.raw")
    {
        const QString pathFile = env.folder() + "/box.path";
        QFile::remove(pathFile);
        process.start(qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak-box",
                      QStringList{"--path-file", pathFile, "--log", logFile, "--raw", rawFile} + options);
        QDeadlineTimer deadline(5000);
        while (QFileInfo(pathFile).size() == 0 && !deadline.hasExpired())
            QTest::qWait(20);
        QFile path(pathFile);
        if (path.open(QIODevice::ReadOnly))
            device = QString::fromLocal8Bit(path.readAll()).trimmed();
    }
    ~BoxProgram()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
    // Every byte the box has received so far.
    QByteArray received() const { return contents(rawFile); }
    // The log lines that start with `prefix`, as (time in ms, text).
    QList<std::pair<qint64, QString>> log(const QString& prefix) const
    {
        QList<std::pair<qint64, QString>> lines;
        for (const QString& line : QString::fromUtf8(contents(logFile)).split('\n', Qt::SkipEmptyParts)) {
            const QDateTime stamp = QDateTime::fromString(line.section(' ', 0, 0), Qt::ISODateWithMs);
            if (line.section(' ', 1).startsWith(prefix))
                lines.append({stamp.toMSecsSinceEpoch(), line.section(' ', 1)});
        }
        return lines;
    }
    static QByteArray contents(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
