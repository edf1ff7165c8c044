// The directory client against servers on 127.0.0.1: the request, the
// entries and acknowledgements, the server's faults, the time-outs and how
// the host is found.
#include "DirectoryFixtures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestMain.h"

#include "directory/DirectoryClient.h"
#include "directory/DirectoryHost.h"

#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {

struct Download {
    bool ended = false;
    QStringList entries; // "number name"
    QStringList messages;
};

Download download(const QString& host, quint16 port, DirectoryClient::Limits limits = {})
{
    ScriptedDialogs dialogs;
    DirectoryClient client(dialogs);
    client.setLimits(limits);
    Download result;
    result.ended = client.download(host, port, [&](const DirectoryEntry& entry) {
        result.entries << entry.number + " " + entry.name;
    });
    result.messages = dialogs.texts();
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
        bool closeAfterRequest = false;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            request = readExactly(socket, 43);
            if (closeAfterRequest) {
                socket->disconnectFromHost();
                return;
            }
            // A 40-character name without a zero byte; ignored fields full of junk.
            socket->write(entryBytes(0xFFFFFFFF, QByteArray(40, 'N'), '\x7F'));
            acks << readExactly(socket, 2);
            // Umlauts travel as single bytes; the name stops at its zero byte.
            socket->write(entryBytes(12345, "M\xFCller", 'x'));
            acks << readExactly(socket, 2);
            socket->write(QByteArray("\x09\x00", 2));
            socket->flush();
        });
        const Download result = download("127.0.0.1", server.serverPort());
        QVERIFY2(result.ended, qPrintable(result.messages.join(" | ")));
        QCOMPARE(result.messages, QStringList());
        QCOMPARE(request, QByteArray("\x0A\x29\x01\x20", 4) + QByteArray(39, '\0'));
        QCOMPARE(acks, QList<QByteArray>(2, QByteArray("\x08\x00", 2)));
        QCOMPARE(result.entries, QStringList({"-1 " + QString(40, 'N'), QString::fromLatin1("12345 M\xFCller")}));

        // Nothing received at all: the buffer still holds the request, so the
        // type read is the request's own, 0xA, with a count of 0.
        closeAfterRequest = true;
        const Download closed = download("127.0.0.1", server.serverPort());
        QVERIFY(!closed.ended);
        QCOMPARE(closed.messages, QStringList{"Invalid code or lenght: 0xA / 0"});
    }

    void entriesInPieces()
    {
        // Every entry in three pieces: gathered, not judged piecemeal.
        DirServerProcess split({"--generate", "6", "--split-gap", "15"});
        const Download pieces = download("127.0.0.1", split.port(), {3000, 1000});
        QVERIFY2(pieces.ended, qPrintable(pieces.messages.join(" | ")));
        QCOMPARE(pieces.entries.size(), 6);
        QCOMPARE(pieces.entries[5], QString::number(100000 + 5 * 7919) + " Huber Hamburg 6");
    }

    void namesFromACsvDirectory()
    {
        QTemporaryDir dir;
        const QString name40 = "Forty characters long name for the test!";
        QFile csv(dir.filePath("list.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        // A phonebook.csv line, a "number,name" line with a comma in the
        // name, and a name longer than its field.
        csv.write(" 1,4711        ," + name40.toLatin1() + "\r\n99, Short, one\r\n\r\n"
                  "2147483647,Cut here because this name is longer than forty\r\n");
        csv.close();
        DirServerProcess server({"--csv", csv.fileName()});
        const Download result = download("127.0.0.1", server.port());
        QVERIFY(result.ended);
        QCOMPARE(result.entries, QStringList({"4711 " + name40, "99 Short, one",
                                              "2147483647 Cut here because this name is longer tha"}));

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
        const QList<QPair<QString, QString>> numbers = {
            {"16777343", "127.0.0.1"}, {" 4294967295 ", "255.255.255.255"}, {"1", "1.0.0.0"},
            {"4294967296", ""},        {"127.0.0.1", ""},                   {"-5", ""}, {"", ""}};
        for (const auto& [text, address] : numbers)
            QCOMPARE(addressFromNumber(text),
                     address.isEmpty() ? std::optional<QHostAddress>() : QHostAddress(address));

        // A bare number is the address itself, a name is looked up; a host
        // that cannot be found ends the download before any connection.
        QString error;
        QCOMPARE(resolveDirectoryHost("16777343", 3000, &error), std::optional(QHostAddress("127.0.0.1")));
        QCOMPARE(resolveDirectoryHost("localhost", 3000, &error), std::optional(QHostAddress("127.0.0.1")));
        const Download unknown = download("no-such-host.invalid", freePort());
        QVERIFY(!unknown.ended);
        QCOMPARE(unknown.messages, QStringList{"ERROR: GetIp(no-such-host.invalid) failed"});
    }

    void silentListenerTimesOut()
    {
        // A listener whose queue is full never completes the handshake.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(listener, 0) == 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        const quint16 port = ntohs(address.sin_port);
        QList<QTcpSocket*> fillers;
        for (int i = 0; i < 3; ++i) {
            fillers << new QTcpSocket(this);
            fillers.last()->connectToHost(QHostAddress::LocalHost, port);
        }
        QTest::qWait(100);
        const Download silent = download("127.0.0.1", port, {300, 300});
        qDeleteAll(fillers);
        ::close(listener);
        QVERIFY(!silent.ended);
        QCOMPARE(silent.messages, QStringList{QStringLiteral("No connection to the directory server 127.0.0.1 "
                                                             "(port %1) within 0.3 seconds. The download was "
                                                             "stopped; the phonebook was not changed.").arg(port)});
    }
};

VORNAK_TEST_MAIN(DirectoryClientTest)

#include "tst_directoryclient.moc"
