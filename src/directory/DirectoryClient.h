#pragma once

#include "directory/DirectoryPackets.h"

#include <QObject>
#include <QString>
#include <functional>

class Dialogs;
class EventWait;

// One subscriber as the directory server sends it.
struct DirectoryEntry {
    QString number; // the 32-bit number as decimal text
    QString name;   // up to 40 characters
};

// The directory client: connects to the server, asks for the whole list and
// takes it entry by entry, acknowledging each before the next is sent. All of
// it runs on the window thread inside a nested event loop, so the windows
// keep painting; download() returns when the exchange is over.
//
// An entry that arrives in several pieces is gathered before it is judged.
// A silent server ends the download after the receive time-out, a server that
// never accepts the connection after the connect time-out; both with a
// message that says so. Every failure is reported through the dialogs seam.
class DirectoryClient : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 11811;
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kReceiveTimeoutMs = 15000;

    struct Limits {
        int connectTimeoutMs = kConnectTimeoutMs;
        int receiveTimeoutMs = kReceiveTimeoutMs;
    };

    using EntryHandler = std::function<void(const DirectoryEntry&)>;

    explicit DirectoryClient(Dialogs& dialogs, QObject* parent = nullptr);
    ~DirectoryClient() override;

    void setLimits(const Limits& limits) { m_limits = limits; }
    const Limits& limits() const { return m_limits; }

    // The whole download from host:port. `onEntry` is called for every entry
    // in the order received. Returns true when the server ended the list.
    bool download(const QString& host, quint16 port, const EntryHandler& onEntry);

    // Stops a running download at once, without a message (the window it
    // belongs to is closing). download() then returns false.
    void abort();
    bool isRunning() const { return m_running; }

    // Entries received in the current (or last) download.
    int RecordCount() const { return m_recordCount; }
    const PacketBuffer& packetBuffer() const { return m_buffer; }

private:
    Dialogs& m_dialogs;
    Limits m_limits;
    PacketBuffer m_buffer;
    int m_recordCount = 0;
    EventWait* m_exchange = nullptr;
    bool m_abortRequested = false;
    bool m_running = false;
};
