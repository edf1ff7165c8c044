#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <functional>

class SettingsStore;

// The one serial line to the interface box. It owns the QSerialPort; windows
// never touch the port directly. Port numbers 1..32 are the display form
// ("Com 1"); each maps to a device as portDevice() says.
class SerialLink : public QObject {
    Q_OBJECT
public:
    // Line event codes as the comm event handler knows them.
    enum Event {
        Transmit = 1, Receive = 2, CtsChange = 3, DsrChange = 4, CdChange = 5, Ring = 6,
        UnknownError = 1012,
    };

    explicit SerialLink(SettingsStore& settings, QObject* parent = nullptr);
    ~SerialLink() override;

    int portNumber() const { return m_portNumber; }
    // Refused while the port is open.
    bool setPortNumber(int number, QString* error = nullptr);

    const QString& settings() const { return m_settings; }
    bool setSettings(const QString& settings, QString* error = nullptr);

    int handshaking() const { return m_handshaking; }
    bool setHandshaking(int flowControl, QString* error = nullptr);

    bool isOpen() const;
    bool open(QString* error = nullptr);
    // Opens a given device as port number portNumber(), with the current
    // settings and flow control: a device that came back under another
    // name is still the same port.
    bool openDevice(const QString& device, QString* error = nullptr);
    void close();
    // The device path of the open port, or of the one open last.
    const QString& device() const { return m_device; }

    // SendToBox: puts the text on the line as it stands, one byte per
    // character, nothing added. Characters beyond Latin-1 get their
    // teleprinter-safe spelling first. The bytes go out from the event loop
    // as fast as the device takes them; a full device is back-pressure, not
    // an error.
    void send(const QString& text);
    void sendBytes(const QByteArray& bytes);

    // A sender that has more to say waits here, with the window's events
    // running, while more than kOutputRoom bytes wait to go out; it returns
    // once there is room, the port is closed or `stop` is true.
    void waitForRoom(const bool& stop);
    static constexpr qint64 kOutputRoom = 64 * 1024;

    // Receive and transmit buffer counts.
    qint64 bytesAvailable() const;
    qint64 bytesToWrite() const;
    // Bytes the device itself still holds for the line (handed over by the
    // port, not yet sent by the driver); 0 when closed or unknown.
    qint64 deviceOutputQueue() const;

    // The device of port number N: the settings-store value "Ports"/"Com<N>"
    // when present, else the N-th serial port of the system (sorted by its
    // location), else empty.
    QString portDevice(int number) const;
    // Whether the settings store maps port number N to a device.
    bool portMapped(int number) const;

    // Tells the link whether a handler of received() may wait in a nested
    // loop just now. While none may, the bytes are handed on at once from the
    // port's signal, which saves a turn of the event loop for every read; the
    // default is that any may.
    void setHandlersWait(std::function<bool()> handlersWait) { m_handlersWait = std::move(handlersWait); }

    // A line that streams (a read comes less than kStreamingGapMs after the
    // one before) is read at most every kReadPauseMs: between two reads the
    // bytes wait in the device, and the program is not woken for every few
    // of them. A slow line, a key's echo, and a line too fast to wait for
    // (a read of kPauseBelowBytes or more) are read as they come.
    static constexpr int kReadPauseMs = 50;
    static constexpr int kStreamingGapMs = 100;
    static constexpr int kPauseBelowBytes = 1024;

signals:
    // Everything read from the line in one go (delivered from the event loop,
    // so a handler may wait in a nested loop and still see later data; see
    // setHandlersWait()).
    void received(const QByteArray& bytes);
    // Bytes went out to the device.
    void transmitted();
    // Bytes were handed to the port for the line, exactly as they go out
    // (every send, whoever sends).
    void sent(const QByteArray& bytes);
    // A modem line changed (CtsChange, DsrChange, CdChange, Ring).
    void lineEvent(int code);
    // A serial error that does not end the link.
    void errorEvent(int code, const QString& text);
    // The device vanished (USB pulled, box end closed): the port has been
    // closed. Emitted once per loss.
    void deviceLost(const QString& message);
    void openChanged(bool open);

private:
    void onReadyRead();
    void deliver(const QByteArray& bytes);
    void endReadPause();
    // Back to reading every byte as it comes (no pause running).
    void stopReadPause();
    void onError(QSerialPort::SerialPortError error);
    void pollModemLines();
    void handleLoss(const QString& cause);
    // The message for a port another program holds.
    QString inUseText(const QString& device, const QString& holder) const;
    // Why the device is gone, from the port's own state (a hang-up, an
    // error condition, a closed descriptor); empty while the device is
    // still there.
    QString lossCause() const;

    SettingsStore& m_store;
    QSerialPort m_port;
    QTimer m_modemPoll;
    QString m_device; // the device path of the open port
    int m_portNumber = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_handshaking = 0;
    QSerialPort::PinoutSignals m_lastPinout;
    bool m_pinoutKnown = false;
    bool m_losing = false;
    std::function<bool()> m_handlersWait;
    int m_queuedDeliveries = 0; // handed to the event loop, not yet delivered
    QTimer m_readPause;
    QElapsedTimer m_sinceRead;
};
