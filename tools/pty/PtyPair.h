#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// A pseudo-terminal pair: the program opens the slave end as its serial
// port; whoever holds this object is the interface box at the master end.
// The slave end is also kept open here, so the line does not hang up while
// the program has its port closed.
class PtyPair : public QObject {
    Q_OBJECT
public:
    explicit PtyPair(QObject* parent = nullptr);
    ~PtyPair() override;

    bool open(QString* error = nullptr);
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Writes to the program (what the box sends).
    bool write(const QByteArray& bytes);

    // Bytes received from the program so far, and clears them. Reading runs
    // from the event loop.
    QByteArray takeReceived();
    const QByteArray& received() const { return m_received; }

    // Lets the event loop run for `ms` milliseconds and returns what arrived.
    QByteArray readFor(int ms);
    // Runs the event loop until at least `count` bytes have arrived or the
    // time is up; returns (and clears) everything received.
    QByteArray waitForBytes(int count, int timeoutMs);

    // A box that stops reading lets the program's output pile up.
    void setReading(bool reading);
    // A slow box: it reads at most `biteBytes` at a time and then rests
    // `pauseMs` before it reads again (0 bytes: as fast as it can).
    void setReadPace(int biteBytes, int pauseMs);

    // The box vanishes: the master end closes.
    void closeMaster();

signals:
    void bytesArrived(const QByteArray& bytes);

private:
    void onReadable();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_received;
    int m_biteBytes = 0;
    int m_pauseMs = 0;
};
