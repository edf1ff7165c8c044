// The directory client against real servers on 127.0.0.1: the request, the
// entries and acknowledgements, the server's faults, the time-outs and how
// the host is found.
#include "DirServerProcess.h"
#include "support/ScriptedDialogs.h"

#include "directory/DirectoryClient.h"
#include "directory/DirectoryHost.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Download {
    bool ended = false;
    QList<DirectoryEntry> entries;
    QStringList messages;
};

Download download(const QString& host, quint16 port, DirectoryClient::Limits limits = {})
{
    ScriptedDialogs dialogs;
    DirectoryClient client(dialogs);
    client.setLimits(limits);
    Download result;
    result.ended = client.download(host, port, [&](const DirectoryEntry& entry) { result.entries << entry; });
    result.messages = dialogs.texts();
    if (client.RecordCount() != result.entries.size())
        result.messages << "RecordCount differs from the entries handed over";
    return result;
}

QByteArray entryBytes(quint32 number, const QByteArray& name, char filler)
{
    QByteArray packet(102, filler);
    packet[0] = 0x05;
    packet[1] = 0x64;
    qToLittleEndian<quint32>(number, packet.data() + 2);
    packet.replace(6, name.size(), name);
    if (name.size() < 40)
        packet[6 + name.size()] = '\0';
    return packet;
}

// Reads exactly `count` bytes from a socket, waiting in the event loop.
QByteArray readExactly(QTcpSocket* socket, int count)
{
    QByteArray bytes;
    QDeadlineTimer deadline(3000);
    while (bytes.size() < count && !deadline.hasExpired()) {
        if (socket->bytesAvailable() == 0)
            QTest::qWait(5);
        bytes += socket->read(count - bytes.size());
    }
    return bytes;
}

} // namespace

class DirectoryClientTest : public QObject {
    Q_OBJECT

private slots:
    void requestEntriesAndAcknowledgements()
    {
        // A hand-driven server checks every byte the client sends.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QByteArray request;
        QList<QByteArray> acks;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            request = readExactly(socket, 43);
            // A 40-character name without a zero byte; ignored fields full of junk.
            socket->write(entryBytes(0xFFFFFFFF, QByteArray(40, 'N'), '\x7F'));
            acks << readExactly(socket, 2);
            // Umlauts travel as single bytes; the name stops at its zero byte.
            socket->write(entryBytes(12345, "M\xFCller\0hidden", 'x'));
            acks << readExactly(socket, 2);
            socket->write(QByteArray("\x09\x00", 2));
            socket->flush();
        });
        const Download result = download("127.0.0.1", server.serverPort());
        QVERIFY2(result.ended, qPrintable(result.messages.join(" | ")));
        QCOMPARE(result.messages, QStringList());
        QCOMPARE(request, QByteArray("\x0A\x29\x01\x20", 4) + QByteArray(39, '\0'));
        QCOMPARE(acks, QList<QByteArray>({QByteArray("\x08\x00", 2), QByteArray("\x08\x00", 2)}));
        QCOMPARE(result.entries.size(), 2);
        QCOMPARE(result.entries[0].number, QString("-1"));
        QCOMPARE(result.entries[0].name, QString(40, QChar('N')));
        QCOMPARE(result.entries[1].number, QString("12345"));
        QCOMPARE(result.entries[1].name, QString::fromLatin1("M\xFCller"));
    }

    void serverThatClosesAfterTheRequest()
    {
        // Nothing received at all: the buffer still holds the request, so the
        // type read is the request's own, 0xA, with a count of 0.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            readExactly(socket, 43);
            socket->disconnectFromHost();
        });
        const Download result = download("127.0.0.1", server.serverPort());
        QVERIFY(!result.ended);
        QCOMPARE(result.messages, QStringList{"Invalid code or lenght: 0xA / 0"});
    }

    void wholeAndSplitLists()
    {
        const DirectoryClient::Limits quick{3000, 1000};
        {
            DirServerProcess server({"--generate", "25"});
            QVERIFY(server.port());
            const Download all = download("127.0.0.1", server.port());
            QVERIFY(all.ended);
            QCOMPARE(all.entries.size(), 25);
            QCOMPARE(all.entries[0].number, QString("100000"));
            QCOMPARE(all.entries[1].number, QString("107919"));
            QVERIFY(all.entries[24].name.endsWith(" 25"));
            QCOMPARE(all.messages, QStringList());
        }
        {
            // Every entry in three pieces: gathered, not judged piecemeal.
            DirServerProcess server({"--generate", "6", "--split-gap", "15"});
            const Download split = download("127.0.0.1", server.port(), quick);
            QVERIFY2(split.ended, qPrintable(split.messages.join(" | ")));
            QCOMPARE(split.entries.size(), 6);
            QCOMPARE(split.entries[5].number, QString::number(100000 + 5 * 7919));
            QVERIFY(split.entries[5].name.endsWith(" 6"));
        }
        // The server's faults, with the files they leave alone, are tried
        // through the update window in tst_updatewindow.
    }

    void namesFromACsvDirectory()
    {
        QTemporaryDir dir;
        const QString name40 = "Forty characters long name for the test!";
        QCOMPARE(name40.size(), 40);
        QFile csv(dir.filePath("list.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        // A phonebook.csv line, a "number,name" line with a comma in the
        // name, and a name longer than its field.
        csv.write(" 1,4711        ," + name40.toLatin1() + "\r\n"
                  "99, Short, one\r\n\r\n"
                  "2147483647,Cut here because this name is longer than forty\r\n");
        csv.close();
        DirServerProcess server({"--csv", csv.fileName()});
        QVERIFY(server.port());
        const Download result = download("127.0.0.1", server.port());
        QVERIFY(result.ended);
        QCOMPARE(result.entries.size(), 3);
        QCOMPARE(result.entries[0].number, QString("4711"));
        QCOMPARE(result.entries[0].name, name40);
        QCOMPARE(result.entries[1].number, QString("99"));
        QCOMPARE(result.entries[1].name, QString("Short, one"));
        QCOMPARE(result.entries[2].number, QString("2147483647"));
        QCOMPARE(result.entries[2].name, QString("Cut here because this name is longer tha"));

        // A number beyond 32 bits: the server refuses the file and does not start.
        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write("12345678901,Too big\r\n");
        csv.close();
        DirServerProcess refused({"--csv", csv.fileName()});
        QCOMPARE(refused.port(), quint16(0));
        QVERIFY(refused.output().contains("line 1"));
    }

    void findingTheHost()
    {
        QCOMPARE(addressFromNumber("16777343"), std::optional(QHostAddress("127.0.0.1")));
        QCOMPARE(addressFromNumber(" 4294967295 "), std::optional(QHostAddress("255.255.255.255")));
        QCOMPARE(addressFromNumber("1"), std::optional(QHostAddress("1.0.0.0")));
        QCOMPARE(addressFromNumber("4294967296"), std::nullopt);
        QCOMPARE(addressFromNumber("127.0.0.1"), std::nullopt);
        QCOMPARE(addressFromNumber("-5"), std::nullopt);
        QCOMPARE(addressFromNumber(""), std::nullopt);

        QString error;
        QCOMPARE(resolveDirectoryHost("localhost", 3000, &error), std::optional(QHostAddress("127.0.0.1")));
        QCOMPARE(resolveDirectoryHost("no-such-host.invalid", 3000, &error), std::nullopt);
        QCOMPARE(error, QString("ERROR: GetIp(no-such-host.invalid) failed"));

        // A bare number is the address itself: 16777343 reaches 127.0.0.1.
        DirServerProcess server({"--generate", "3"});
        const Download numeric = download("16777343", server.port());
        QVERIFY(numeric.ended);
        QCOMPARE(numeric.entries.size(), 3);
        const Download unknown = download("no-such-host.invalid", server.port());
        QVERIFY(!unknown.ended);
        QCOMPARE(unknown.messages, QStringList{"ERROR: GetIp(no-such-host.invalid) failed"});
    }

    void connectionFailures()
    {
        // Nobody listens on a port that was just freed.
        quint16 freePort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            freePort = probe.serverPort();
        }
        const Download refused = download("127.0.0.1", freePort);
        QVERIFY(!refused.ended);
        QCOMPARE(refused.messages, QStringList{"ERROR: connect = -1"});

        // A listener whose queue is full never completes the handshake.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 0), 0);
        socklen_t length = sizeof address;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        QList<QTcpSocket*> fillers;
        for (int i = 0; i < 3; ++i) {
            fillers << new QTcpSocket(this);
            fillers.last()->connectToHost(QHostAddress::LocalHost, ntohs(address.sin_port));
        }
        QTest::qWait(100);
        const Download silent = download("127.0.0.1", ntohs(address.sin_port), {300, 300});
        qDeleteAll(fillers);
        ::close(listener);
        QVERIFY(!silent.ended);
        QCOMPARE(silent.messages,
                 QStringList{QStringLiteral("No connection to the directory server 127.0.0.1 (port %1) within 0.3 "
                                            "seconds. The download was stopped; the phonebook was not changed.")
                                 .arg(ntohs(address.sin_port))});
    }

    void abortEndsAStalledDownloadSilently()
    {
        DirServerProcess server({"--fault", "stall", "--after", "2"});
        ScriptedDialogs dialogs;
        DirectoryClient client(dialogs);
        int entries = 0;
        QTimer::singleShot(300, &client, [&] {
            QVERIFY(client.isRunning());
            client.abort();
        });
        QVERIFY(!client.download("127.0.0.1", server.port(), [&](const DirectoryEntry&) { ++entries; }));
        QVERIFY(!client.isRunning());
        QCOMPARE(entries, 2);
        QCOMPARE(dialogs.asked.size(), 0);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    DirectoryClientTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_directoryclient.moc"
