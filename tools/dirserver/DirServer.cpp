#include "DirServer.h"

#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

#include <sys/socket.h>

namespace dirserver {

namespace {

constexpr int kEntrySize = 102;
constexpr int kNameSize = 40;
constexpr char kSearchType = 0x0A;
constexpr char kAckType = 0x08;

const char* const kSurnames[] = {
    "Meier", "Schulz", "van Dijk", "Bauer", "Keller", "Huber", "de Vries", "Lindqvist", "Novak", "Rossi",
    "Amsel", "Zander", "Fischer", "Brandt", "Olsen", "Weber", "Kuhn", "Peeters", "Janssen", "Wolff",
    "Engel", "Vogel", "Hartmann", "Lorenz", "Albers", "Yilmaz", "Quast", "Ibsen", "Mertens", "Graf",
};
const char* const kPlaces[] = {
    "Hamburg", "Zwolle", "Aarhus", "Bern", "Linz", "Gent", "Kiel", "Brno", "Turku", "Delft", "Ulm", "Graz",
};

void putLittle16(QByteArray& bytes, int offset, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes.data() + offset);
}

void putLittle32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

// Text in a field: as many bytes as fit, a zero byte behind them when there
// is room (a name of exactly 40 bytes has none).
void putField(QByteArray& bytes, int offset, const QByteArray& text, int size)
{
    const QByteArray cut = text.left(size);
    std::copy(cut.begin(), cut.end(), bytes.begin() + offset);
}

} // namespace

QVector<Subscriber> generateDirectory(int count)
{
    QVector<Subscriber> directory;
    directory.reserve(count);
    constexpr int surnames = int(std::size(kSurnames));
    constexpr int places = int(std::size(kPlaces));
    for (int i = 0; i < count; ++i) {
        // 7919 is prime and shares no factor with 900000: unique numbers.
        const qint32 number = 100000 + qint32((qint64(i) * 7919) % 900000);
        const QByteArray name = QByteArray(kSurnames[(i * 7) % surnames]) + " " + kPlaces[(i / surnames) % places]
                                + " " + QByteArray::number(i + 1);
        directory.append({number, name});
    }
    return directory;
}

bool readDirectoryCsv(const QString& path, QVector<Subscriber>* subscribers, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return false;
    }
    subscribers->clear();
    int lineNumber = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++lineNumber;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QList<QByteArray> fields = line.split(',');
        bool firstIsNumber = false;
        bool secondIsNumber = false;
        fields[0].trimmed().toLongLong(&firstIsNumber);
        if (fields.size() >= 3)
            fields[1].trimmed().toLongLong(&secondIsNumber);
        // phonebook.csv: " 1,12345       ,Meier ..." - the name is everything after the second comma.
        const int numberField = firstIsNumber && secondIsNumber ? 1 : 0;
        bool ok = false;
        const qint64 number = fields[numberField].trimmed().toLongLong(&ok);
        if (!ok || fields.size() < numberField + 2 || number < INT32_MIN || number > INT32_MAX) {
            *error = QStringLiteral("%1, line %2: expected \"number,name\"").arg(path).arg(lineNumber);
            return false;
        }
        const QByteArray name = fields.mid(numberField + 1).join(',').trimmed();
        subscribers->append({qint32(number), name});
    }
    return true;
}

bool FaultPlan::parseMode(const QString& text, Mode* mode)
{
    static const QList<QPair<QString, Mode>> names = {
        {"none", Mode::None},   {"end-only", Mode::EndOnly},     {"short", Mode::Short},
        {"short-stall", Mode::ShortStall}, {"wrong-type", Mode::WrongType}, {"stall", Mode::Stall},
        {"reset", Mode::Reset},
    };
    for (const auto& [name, value] : names) {
        if (text == name) {
            *mode = value;
            return true;
        }
    }
    return false;
}

QByteArray entryPacket(const Subscriber& subscriber, int position)
{
    QByteArray packet(kEntrySize, '\0');
    packet[0] = 0x05;
    packet[1] = 0x64;
    putLittle32(packet, 2, quint32(subscriber.number));
    putField(packet, 6, subscriber.name, kNameSize);
    // The fields behind the name: kind, status flag, answerback, a change
    // stamp and a few counters. Clients may ignore them.
    putLittle16(packet, 46, 1);
    packet[48] = 'A';
    const QByteArray answerback = QByteArray::number(subscriber.number) + " " + subscriber.name.left(8).toLower()
                                  + " d";
    putField(packet, 49, answerback, 39);
    putLittle32(packet, 89, 1767225600u + quint32(position));
    putLittle16(packet, 93, quint16(position));
    packet[95] = 1;
    putLittle16(packet, 96, 0);
    putLittle32(packet, 98, quint32(position));
    return packet;
}

namespace {

// One client's conversation: the search request, then one entry per
// acknowledgement, then the end of the list.
class Session : public QObject {
public:
    Session(QTcpSocket* socket, const QVector<Subscriber>& directory, const FaultPlan& faults, DirServer* server)
        : QObject(server), m_socket(socket), m_directory(directory), m_faults(faults)
    {
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &Session::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, [this, server] {
            emit server->sessionEnded(m_acknowledged);
            deleteLater();
        });
    }

private:
    enum class State { AwaitRequest, AwaitAck, Sending, Finished };

    void onReadyRead()
    {
        m_inbox += m_socket->readAll();
        if (m_state == State::AwaitRequest && m_inbox.size() >= 2) {
            const int size = 2 + quint8(m_inbox[1]);
            if (m_inbox.size() < size)
                return;
            const QByteArray request = m_inbox.left(size);
            m_inbox.remove(0, size);
            if (request[0] != kSearchType) {
                finish();
                return;
            }
            select(request.mid(3, 40));
            if (m_faults.mode == FaultPlan::Mode::EndOnly)
                sendEnd();
            else
                sendNext();
            return;
        }
        while (m_state == State::AwaitAck && m_inbox.size() >= 2) {
            const bool ack = m_inbox[0] == kAckType;
            m_inbox.remove(0, 2);
            if (!ack) {
                finish();
                return;
            }
            ++m_acknowledged;
            sendNext();
        }
    }

    // A pattern of blanks asks for everyone; any other text for the names
    // that contain it (case ignored).
    void select(QByteArray pattern)
    {
        const int end = pattern.indexOf('\0');
        if (end >= 0)
            pattern.truncate(end);
        pattern = pattern.trimmed().toLower();
        for (int i = 0; i < m_directory.size(); ++i) {
            if (pattern.isEmpty() || m_directory[i].name.toLower().contains(pattern))
                m_selected.append(i);
        }
    }

    void sendNext()
    {
        m_state = State::Sending;
        if (m_sent == m_selected.size()) {
            sendEnd();
            return;
        }
        if (m_faults.mode != FaultPlan::Mode::None && m_faults.mode != FaultPlan::Mode::EndOnly
            && m_sent == m_faults.after) {
            misbehave();
            return;
        }
        if (m_faults.paceMs > 0)
            QTimer::singleShot(m_faults.paceMs, this, &Session::sendEntry);
        else
            sendEntry();
    }

    void sendEntry()
    {
        const QByteArray packet = entryPacket(m_directory[m_selected[m_sent]], m_sent + 1);
        ++m_sent;
        m_state = State::AwaitAck;
        if (m_faults.splitGapMs <= 0) {
            m_socket->write(packet);
            m_socket->flush();
            return;
        }
        // Three pieces, cut inside the number and inside the name.
        m_socket->write(packet.left(3));
        m_socket->flush();
        QPointer<QTcpSocket> socket = m_socket;
        QTimer::singleShot(m_faults.splitGapMs, this, [socket, packet] {
            if (socket)
                socket->write(packet.mid(3, 30));
        });
        QTimer::singleShot(2 * m_faults.splitGapMs, this, [socket, packet] {
            if (socket)
                socket->write(packet.mid(33));
        });
    }

    void misbehave()
    {
        const QByteArray entry = m_sent < m_selected.size() ? entryPacket(m_directory[m_selected[m_sent]], m_sent + 1)
                                                            : QByteArray(kEntrySize, '\x05');
        m_state = State::Finished;
        switch (m_faults.mode) {
        case FaultPlan::Mode::Short:
            m_socket->write(entry.left(m_faults.shortBytes));
            m_socket->disconnectFromHost();
            break;
        case FaultPlan::Mode::ShortStall:
            m_socket->write(entry.left(m_faults.shortBytes));
            break;
        case FaultPlan::Mode::WrongType: {
            QByteArray packet(12, '\0');
            packet[0] = char(m_faults.wrongType);
            packet[1] = 10;
            m_socket->write(packet);
            break;
        }
        case FaultPlan::Mode::Stall:
            break;
        case FaultPlan::Mode::Reset: {
            // A zero linger time makes the close a reset.
            const linger reset{1, 0};
            ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            m_socket->abort();
            break;
        }
        case FaultPlan::Mode::None:
        case FaultPlan::Mode::EndOnly:
            break;
        }
    }

    void sendEnd()
    {
        m_socket->write(QByteArray("\x09\x00", 2));
        finish();
    }

    void finish()
    {
        m_state = State::Finished;
        m_socket->disconnectFromHost();
    }

    QTcpSocket* m_socket;
    const QVector<Subscriber>& m_directory;
    const FaultPlan& m_faults;
    State m_state = State::AwaitRequest;
    QByteArray m_inbox;
    QVector<int> m_selected;
    int m_sent = 0;
    int m_acknowledged = 0;
};

} // namespace

DirServer::DirServer(QVector<Subscriber> directory, FaultPlan faults, QObject* parent)
    : QObject(parent), m_directory(std::move(directory)), m_faults(faults), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &DirServer::onNewConnection);
}

DirServer::~DirServer() = default;

bool DirServer::listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (m_server->listen(address, port))
        return true;
    *error = m_server->errorString();
    return false;
}

quint16 DirServer::port() const
{
    return m_server->serverPort();
}

void DirServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection())
        new Session(socket, m_directory, m_faults, this);
}

} // namespace dirserver
