#pragma once

// The vornak-box program, started for one test on a pseudo-terminal of its
// own; it records every byte it receives in a file.

#include "support/TestEnvironment.h"

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

    explicit BoxProgram(const TestEnvironment& env)
        : logFile(env.folder() + "/box.log"), rawFile(env.folder() + "/box.raw")
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak-box";
        const QString pathFile = env.folder() + "/box.path";
        QFile::remove(pathFile);
        process.start(program, {"--path-file", pathFile, "--log", logFile, "--raw", rawFile, "--char-delay", "1",
                                "--dial-delay", "300"});
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
    QByteArray received() const
    {
        QFile raw(rawFile);
        raw.open(QIODevice::ReadOnly);
        return raw.readAll();
    }
};
