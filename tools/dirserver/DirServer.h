#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

class QTcpServer;
class QTcpSocket;

namespace dirserver {

// One subscriber of the served directory.
struct Subscriber {
    qint32 number = 0;
    QByteArray name; // Latin-1, sent cut at 40 bytes
};

// A made-up directory of `count` subscribers, the same every time, in no
// particular order of names.
QVector<Subscriber> generateDirectory(int count);

// A directory from a CSV file: lines "number,name", or lines of a
// phonebook.csv ("id,number,name"). Empty lines are skipped; a line without a
// number is an error (its line number in *error).
bool readDirectoryCsv(const QString& path, QVector<Subscriber>* subscribers, QString* error);

// What goes wrong on purpose, for testing clients.
struct FaultPlan {
    enum class Mode {
        None,
        EndOnly,    // the search is answered with the end of the list alone
        Short,      // entry number `after` + 1 is cut to `shortBytes`, then the connection closes
        ShortStall, // the same, but the connection then stays open and silent
        WrongType,  // instead of entry `after` + 1 a packet of type `wrongType`
        Stall,      // after `after` entries nothing more is sent
        Reset,      // after `after` entries the connection is reset
    };
    Mode mode = Mode::None;
    int after = 0;
    int shortBytes = 60;
    quint8 wrongType = 0x0C;
    // Every entry goes out in three pieces this many milliseconds apart
    // (0 = each entry in one piece).
    int splitGapMs = 0;
    // A wait before each entry, in milliseconds (to watch a download).
    int paceMs = 0;

    // "end-only", "short", "short-stall", "wrong-type", "stall", "reset", "none".
    static bool parseMode(const QString& text, Mode* mode);
};

// The bytes of one entry packet (102 bytes).
QByteArray entryPacket(const Subscriber& subscriber, int position);

// A directory server: listens on an address and port and serves the
// directory to every client that connects, one entry per acknowledgement.
class DirServer : public QObject {
    Q_OBJECT
public:
    DirServer(QVector<Subscriber> directory, FaultPlan faults, QObject* parent = nullptr);
    ~DirServer() override;

    // Port 0 picks a free port; port() then tells which.
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    int directorySize() const { return m_directory.size(); }

signals:
    // A client's session is over: how many entries it acknowledged.
    void sessionEnded(int acknowledged);

private:
    void onNewConnection();

    QVector<Subscriber> m_directory;
    FaultPlan m_faults;
    QTcpServer* m_server;
};

} // namespace dirserver
