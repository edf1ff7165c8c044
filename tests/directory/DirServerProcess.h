#pragma once

// A real vornak-dirserver for a test: started on 127.0.0.1 with a free port,
// stopped when the object goes.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

class DirServerProcess {
public:
    explicit DirServerProcess(const QStringList& arguments)
    {
        QString build = qEnvironmentVariable("VORNAK_BUILD_DIR");
        if (build.isEmpty())
            build = QCoreApplication::applicationDirPath() + "/..";
        m_process.setProgram(build + "/vornak-dirserver");
        m_process.setArguments(QStringList{"--address", "127.0.0.1", "--port", "0"} + arguments);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return;
        // The first line names the port: "... on 127.0.0.1:PORT".
        static const QRegularExpression portLine(QStringLiteral("on 127\\.0\\.0\\.1:(\\d+)\\n"));
        while (m_port == 0 && m_process.waitForReadyRead(5000)) {
            m_output += m_process.readAll();
            const QRegularExpressionMatch match = portLine.match(QString::fromLatin1(m_output));
            if (match.hasMatch())
                m_port = quint16(match.captured(1).toUInt());
        }
    }

    ~DirServerProcess()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // 0 when the server did not start.
    quint16 port() const { return m_port; }
    QByteArray output()
    {
        m_output += m_process.readAll();
        return m_output;
    }

private:
    QProcess m_process;
    QByteArray m_output;
    quint16 m_port = 0;
};
