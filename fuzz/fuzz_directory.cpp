// The directory client fed a byte stream: a server on 127.0.0.1 answers the
// search request with the input and then ends its side of the connection.
// The input's first byte is the size of the pieces the stream is written in,
// one piece per turn of the event loop (0: all at once), so entries also
// arrive cut anywhere.
// The client must take exactly the whole entries that stand before the first
// packet that is not one, end with success only on the end packet, say why
// it stopped otherwise, and never wait for its time-out on a closed line.
#include "FuzzSupport.h"

#include "core/Dialogs.h"
#include "directory/DirectoryClient.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>
#include <sys/socket.h>

namespace {

class CountingDialogs : public Dialogs {
public:
    QStringList texts;
    Answer message(const QString& text, Icon, Buttons, Answer defaultAnswer, const QString&) override
    {
        texts << text;
        return defaultAnswer;
    }
    void beep() override {}
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    bool openExternal(const QUrl&) override { return false; }
};

// What a correct client makes of the stream.
struct Expected {
    QList<DirectoryEntry> entries;
    bool ended = false;
};

Expected readStream(const QByteArray& stream)
{
    using namespace directory_protocol;
    Expected expected;
    qsizetype pos = 0;
    while (pos < stream.size()) {
        const quint8 type = quint8(stream[pos]);
        if (type == kEndType) {
            expected.ended = true;
            break;
        }
        if (type != kEntryType || stream.size() - pos < kEntrySize)
            break;
        const char* entry = stream.constData() + pos;
        const qint32 number = qFromLittleEndian<qint32>(entry + kNumberOffset);
        QByteArray name(entry + kNameOffset, kNameSize);
        if (const qsizetype zero = name.indexOf('\0'); zero >= 0)
            name.truncate(zero);
        expected.entries.append({QString::number(number), QString::fromLatin1(name)});
        pos += kEntrySize;
    }
    return expected;
}

// The server side: waits for the 43-byte search request, sends the stream,
// then shuts its sending side so the client reads the end after the last
// byte, while the client's acknowledgements are still taken in.
class StreamServer : public QObject {
public:
    QTcpServer server;
    QByteArray stream;
    int pieceSize = 0;
    QTcpSocket* peer = nullptr;

    StreamServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] { accept(); });
    }

    void accept()
    {
        peer = server.nextPendingConnection();
        auto request = std::make_shared<QByteArray>();
        connect(peer, &QTcpSocket::readyRead, peer, [this, request, socket = peer] {
            const bool answered = request->size() >= directory_protocol::kSearchSize;
            *request += socket->readAll();
            if (!answered && request->size() >= directory_protocol::kSearchSize)
                sendFrom(socket, 0);
        });
        connect(peer, &QTcpSocket::bytesWritten, peer, [this, socket = peer] { endWhenWritten(socket); });
    }

    void sendFrom(QTcpSocket* socket, qsizetype offset)
    {
        const qsizetype size = pieceSize > 0 ? pieceSize : stream.size();
        socket->write(stream.mid(offset, size));
        socket->flush();
        m_sent = offset + size;
        if (m_sent < stream.size())
            QTimer::singleShot(0, socket, [this, socket] { sendFrom(socket, m_sent); });
        else
            endWhenWritten(socket);
    }

    void endWhenWritten(QTcpSocket* socket) const
    {
        socket->flush();
        if (m_sent >= stream.size() && socket->bytesToWrite() == 0)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    }

    void dropPeer()
    {
        if (peer) {
            peer->abort();
            delete peer;
            peer = nullptr;
        }
        m_sent = 0;
    }

private:
    qsizetype m_sent = 0;
};

StreamServer* g_server = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    static StreamServer server;
    g_server = &server;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    g_server->pieceSize = data[0];
    g_server->stream = fuzzBytes(data + 1, size - 1);
    const Expected expected = readStream(g_server->stream);

    CountingDialogs dialogs;
    DirectoryClient client(dialogs);
    client.setLimits({5000, 5000});
    QList<DirectoryEntry> entries;
    const bool ended = client.download(QStringLiteral("127.0.0.1"), g_server->server.serverPort(),
                                       [&](const DirectoryEntry& entry) { entries.append(entry); });
    g_server->dropPeer();

    FUZZ_CHECK(ended == expected.ended, "ends with success exactly on the end packet");
    FUZZ_CHECK(entries.size() == expected.entries.size(), "every whole entry before the fault, no more");
    FUZZ_CHECK(client.RecordCount() == entries.size(), "RecordCount counts the entries");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(entries[i].number == expected.entries[i].number, "entry number");
        FUZZ_CHECK(entries[i].name == expected.entries[i].name, "entry name");
    }
    FUZZ_CHECK(ended || !dialogs.texts.isEmpty(), "a failed download says why");
    for (const QString& text : std::as_const(dialogs.texts))
        FUZZ_CHECK(!text.contains(QLatin1String("sent nothing")) && !text.startsWith(QLatin1String("No connection")),
                   "a closed line is seen without waiting for the time-out");
    return 0;
}
