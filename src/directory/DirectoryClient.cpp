#include "directory/DirectoryClient.h"

#include "core/Dialogs.h"
#include "core/EventWait.h"
#include "core/VbText.h"
#include "directory/DirectoryHost.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTimer>

namespace {

QString secondsText(int ms)
{
    return QString::number(ms / 1000.0, 'g', 6);
}

// The socket layer's failure texts: the failing call and its result.
QString socketError(const char* call)
{
    return QStringLiteral("ERROR: %1 = %2").arg(QLatin1String(call), vbStr(qint64(-1)));
}

} // namespace

DirectoryClient::DirectoryClient(Dialogs& dialogs, QObject* parent) : QObject(parent), m_dialogs(dialogs) {}

DirectoryClient::~DirectoryClient()
{
    abort();
}

void DirectoryClient::abort()
{
    m_abortRequested = true;
    if (m_exchange)
        m_exchange->finish();
}

bool DirectoryClient::download(const QString& host, quint16 port, const EntryHandler& onEntry)
{
    using namespace directory_protocol;
    m_recordCount = 0;
    m_abortRequested = false;
    m_running = true;
    const auto stopped = qScopeGuard([this] { m_running = false; });

    QString error;
    const std::optional<QHostAddress> address = resolveDirectoryHost(host, m_limits.connectTimeoutMs, &error);
    if (m_abortRequested)
        return false;
    if (!address) {
        m_dialogs.message(error);
        return false;
    }

    enum class Outcome { Running, Ended, Failed };
    Outcome outcome = Outcome::Running;
    bool connected = false;
    int gathered = 0; // bytes of the packet being received so far

    QTcpSocket socket;
    EventWait exchange;
    QObject context; // the exchange's connections end with it
    QTimer timer;
    timer.setSingleShot(true);
    // When bytes last arrived. The receive time-out runs from there; the
    // timer is not restarted for every packet, it checks when it fires.
    QElapsedTimer lastReceive;

    auto running = [&] { return outcome == Outcome::Running && !m_abortRequested; };
    // Ends the exchange before any message box opens, so nothing arriving
    // while the user reads the message is taken as part of the download.
    auto fail = [&](const QStringList& texts) {
        if (!running())
            return;
        outcome = Outcome::Failed;
        exchange.finish();
        for (const QString& text : texts)
            m_dialogs.message(text);
    };
    auto send = [&](const QByteArray& bytes) {
        if (socket.write(bytes) != bytes.size())
            m_dialogs.message(socketError("send"));
    };

    // How many bytes the packet being received has: an entry is always
    // 102 bytes (its length byte is not relied on), the end of the list is
    // recognised by its type byte alone, any other packet by its length byte.
    auto packetSize = [&]() -> int {
        if (gathered < 1)
            return 1;
        const quint8 type = m_buffer.byte(0);
        if (type == kEntryType)
            return kEntrySize;
        if (type == kEndType)
            return 1;
        if (gathered < 2)
            return 2;
        return std::min(2 + int(m_buffer.byte(1)), PacketBuffer::kSize);
    };

    auto judgePacket = [&] {
        const quint8 type = m_buffer.byte(0);
        const int count = gathered;
        gathered = 0;
        if (type == kEntryType && count == kEntrySize) {
            ++m_recordCount;
            onEntry({QString::number(m_buffer.getLong(kNumberOffset)), m_buffer.getText(kNameOffset, kNameSize)});
            send(acknowledgementPacket());
        } else if (type == kEndType) {
            outcome = Outcome::Ended;
            exchange.finish();
        } else {
            fail({invalidPacketText(type, count)});
        }
    };

    // The connection ended (result 0) or failed (-1) while a packet was
    // awaited: what was gathered is judged; with nothing gathered the type
    // byte is still that of the packet before.
    auto endOfStream = [&](qint64 result, const QStringList& before) {
        if (!running())
            return;
        const quint8 type = m_buffer.byte(0);
        if (type == kEndType) {
            outcome = Outcome::Ended;
            exchange.finish();
            return;
        }
        fail(before + QStringList{invalidPacketText(type, gathered > 0 ? gathered : result)});
    };

    // Reads what has arrived, at most one packet's worth at a time, the way
    // a single receive would. The socket is unbuffered: a read is also what
    // finds out that the server closed or reset the connection (the read
    // fails, and no signal follows).
    auto takePackets = [&] {
        while (running() && socket.state() == QAbstractSocket::ConnectedState) {
            const qint64 got = socket.read(m_buffer.data() + gathered, PacketBuffer::kSize - gathered);
            if (got == 0)
                break;
            if (got < 0) {
                if (socket.error() == QAbstractSocket::RemoteHostClosedError)
                    endOfStream(0, {});
                else
                    endOfStream(-1, {socketError("recv")});
                break;
            }
            gathered += int(got);
            lastReceive.start();
            if (gathered >= packetSize()) {
                // The next packet comes after the acknowledgement: wait
                // for it in the event loop rather than read again now.
                judgePacket();
                break;
            }
        }
    };

    connect(&socket, &QTcpSocket::connected, &context, [&] {
        if (!running())
            return;
        connected = true;
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        lastReceive.start();
        timer.start(m_limits.receiveTimeoutMs);
        send(m_buffer.buildSearchRequest());
    });
    connect(&socket, &QTcpSocket::readyRead, &context, takePackets);
    connect(&socket, &QAbstractSocket::errorOccurred, &context, [&](QAbstractSocket::SocketError code) {
        if (!running())
            return;
        if (!connected)
            fail({socketError("connect")});
        else if (code == QAbstractSocket::RemoteHostClosedError)
            endOfStream(0, {});
        else
            endOfStream(-1, {socketError("recv")});
    });
    connect(&socket, &QTcpSocket::disconnected, &context, [&] {
        if (running() && connected)
            endOfStream(0, {});
    });
    connect(&timer, &QTimer::timeout, &context, [&] {
        if (connected && !lastReceive.hasExpired(m_limits.receiveTimeoutMs)) {
            timer.start(int(std::max<qint64>(1, m_limits.receiveTimeoutMs - lastReceive.elapsed())));
            return;
        }
        if (!connected) {
            fail({QStringLiteral("No connection to the directory server %1 (port %2) within %3 seconds. "
                                 "The download was stopped; the phonebook was not changed.")
                      .arg(host)
                      .arg(port)
                      .arg(secondsText(m_limits.connectTimeoutMs))});
        } else if (gathered > 0) {
            fail({invalidPacketText(m_buffer.byte(0), gathered)});
        } else {
            fail({QStringLiteral("The directory server %1 sent nothing for %2 seconds. "
                                 "The download was stopped; the phonebook was not changed.")
                      .arg(host, secondsText(m_limits.receiveTimeoutMs))});
        }
    });

    timer.start(m_limits.connectTimeoutMs);
    // Unbuffered: reads and writes go straight to the socket, with no
    // internal buffer to fill and flush between entry and acknowledgement.
    socket.connectToHost(*address, port, QIODevice::ReadWrite | QIODevice::Unbuffered);
    m_exchange = &exchange;
    if (running())
        exchange.wait();
    m_exchange = nullptr;
    timer.stop();

    const bool ended = outcome == Outcome::Ended && !m_abortRequested;
    if (ended)
        socket.disconnectFromHost();
    else
        socket.abort();
    return ended;
}
