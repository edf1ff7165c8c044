#include "link/SerialLink.h"

#include "core/DataFile.h"
#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "link/PortHolder.h"
#include "link/PortSettings.h"
#include "text/LineEncoding.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

constexpr int kModemPollMs = 100;
constexpr int kHighestPort = 32;

QSerialPort::FlowControl toFlowControl(int handshaking)
{
    switch (handshaking) {
    case 1: return QSerialPort::SoftwareControl;
    case 2:
    case 3: return QSerialPort::HardwareControl; // Xon and RTS together: the port offers one kind
    default: return QSerialPort::NoFlowControl;
    }
}

} // namespace

SerialLink::SerialLink(SettingsStore& settings, QObject* parent)
    : QObject(parent), m_store(settings)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialLink::transmitted);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
    m_modemPoll.setInterval(kModemPollMs);
    connect(&m_modemPoll, &QTimer::timeout, this, &SerialLink::pollModemLines);
    m_readPause.setSingleShot(true);
    m_readPause.setInterval(kReadPauseMs);
    connect(&m_readPause, &QTimer::timeout, this, &SerialLink::endReadPause);
}

SerialLink::~SerialLink()
{
    m_port.disconnect(this);
    m_port.close();
}

bool SerialLink::setPortNumber(int number, QString* error)
{
    if (m_port.isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    if (number < 1 || number > kHighestPort) {
        if (error)
            *error = QStringLiteral("Invalid port number %1 (1 to %2)").arg(number).arg(kHighestPort);
        return false;
    }
    m_portNumber = number;
    return true;
}

bool SerialLink::setSettings(const QString& settings, QString* error)
{
    const std::optional<LineSettings> line = parseLineSettings(settings, error);
    if (!line)
        return false;
    if (m_port.isOpen()) {
        const bool applied = m_port.setBaudRate(line->baudRate) && m_port.setParity(line->parity)
                             && m_port.setDataBits(line->dataBits) && m_port.setStopBits(line->stopBits);
        if (!applied) {
            if (error)
                *error = m_port.errorString();
            m_port.clearError();
            return false;
        }
    }
    m_settings = settings;
    return true;
}

bool SerialLink::setHandshaking(int flowControl, QString* error)
{
    if (flowControl < 0 || flowControl >= kFlowControlCount) {
        if (error)
            *error = QStringLiteral("Invalid flow control %1 (0 to 3)").arg(flowControl);
        return false;
    }
    if (m_port.isOpen() && !m_port.setFlowControl(toFlowControl(flowControl))) {
        if (error)
            *error = m_port.errorString();
        m_port.clearError();
        return false;
    }
    m_handshaking = flowControl;
    return true;
}

bool SerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool SerialLink::portMapped(int number) const
{
    return !m_store.get(setting_keys::portDevice(number)).isEmpty();
}

QString SerialLink::portDevice(int number) const
{
    const QString mapped = m_store.get(setting_keys::portDevice(number));
    if (!mapped.isEmpty())
        return mapped;
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    if (number >= 1 && number <= ports.size())
        return ports[number - 1].systemLocation();
    return QString();
}

bool SerialLink::open(QString* error)
{
    if (m_port.isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    const QString device = portDevice(m_portNumber);
    if (device.isEmpty()) {
        if (error)
            *error = QStringLiteral("Com %1 is not on this computer. Connect the interface box, or map "
                                    "the port to a device in the settings (section Ports, key Com%1).")
                         .arg(m_portNumber);
        return false;
    }
    return openDevice(device, error);
}

bool SerialLink::openDevice(const QString& device, QString* error)
{
    if (m_port.isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    const std::optional<LineSettings> line = parseLineSettings(m_settings, error);
    if (!line)
        return false;

    m_port.setPortName(device);
    m_device = device;
    m_port.clearError();
    if (!m_port.open(QIODevice::ReadWrite)) {
        if (error) {
            const QString holder = portHolder(device);
            *error = holder.isEmpty()
                         ? QStringLiteral("Com %1 (%2) cannot be opened: %3").arg(m_portNumber).arg(device, m_port.errorString())
                         : inUseText(device, holder);
        }
        m_port.clearError();
        return false;
    }
    // The device itself is locked too: the library's lock file is kept by
    // the name the port was opened with, so another name of the same device
    // (a link in /dev/serial/by-id) would slip past it.
    if (!lockPortDevice(int(m_port.handle()))) {
        if (error)
            *error = inUseText(device, portHolder(device));
        m_port.close();
        m_port.clearError();
        return false;
    }
    const bool configured = m_port.setBaudRate(line->baudRate) && m_port.setParity(line->parity)
                            && m_port.setDataBits(line->dataBits) && m_port.setStopBits(line->stopBits)
                            && m_port.setFlowControl(toFlowControl(m_handshaking));
    if (!configured) {
        if (error)
            *error = QStringLiteral("Com %1 (%2) refuses the settings %3: %4")
                         .arg(m_portNumber).arg(device, m_settings, m_port.errorString());
        m_port.close();
        m_port.clearError();
        return false;
    }
    m_losing = false;
    m_pinoutKnown = false;
    m_modemPoll.start();
    emit openChanged(true);
    return true;
}

QString SerialLink::inUseText(const QString& device, const QString& holder) const
{
    return QStringLiteral("Com %1 (%2) is in use by %3. Only one program can hold the port at a time.")
        .arg(m_portNumber)
        .arg(device, holder.isEmpty() ? QStringLiteral("another program") : holder);
}

void SerialLink::close()
{
    m_modemPoll.stop();
    stopReadPause();
    m_losing = false;
    if (!m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    emit openChanged(false);
}

void SerialLink::send(const QString& text)
{
    sendBytes(toLineBytes(text));
}

void SerialLink::sendBytes(const QByteArray& bytes)
{
    if (!m_port.isOpen() || m_losing || bytes.isEmpty())
        return;
    // With nothing queued before them the bytes go straight to the device: a
    // paced character leaves now, without the turns of the event loop the
    // port's write notifier costs (two wake-ups per character). What the
    // device does not take, and everything while the port still holds bytes,
    // goes into the port's buffer and out as the device takes it; an error
    // of the device is left to the port, which reports it.
    QString ignored; // the port reports the device's error
    const qint64 direct = m_port.bytesToWrite() == 0 ? writeAllBytes(int(m_port.handle()), bytes, &ignored) : 0;
    const qint64 rest = bytes.size() - direct;
    if (rest > 0 && m_port.write(bytes.constData() + direct, rest) != rest)
        return;
    emit sent(bytes);
    if (direct > 0)
        emit transmitted();
}

void SerialLink::waitForRoom(const bool& stop)
{
    while (!stop && m_port.isOpen() && !m_losing && m_port.bytesToWrite() > kOutputRoom)
        EventWait::forSignal(&m_port, &QSerialPort::bytesWritten, 100);
}

qint64 SerialLink::bytesAvailable() const
{
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

qint64 SerialLink::bytesToWrite() const
{
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

qint64 SerialLink::deviceOutputQueue() const
{
    int queued = 0;
    if (!m_port.isOpen() || ::ioctl(int(m_port.handle()), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

void SerialLink::onReadyRead()
{
    // During a pause the port has taken one byte and reads no more (its
    // buffer is full); everything is read when the pause ends.
    if (m_readPause.isActive())
        return;
    const QByteArray bytes = m_port.readAll();
    if (bytes.isEmpty())
        return;
    const bool streaming = m_sinceRead.isValid() && !m_sinceRead.hasExpired(kStreamingGapMs);
    m_sinceRead.start();
    if (streaming && bytes.size() < kPauseBelowBytes && !m_losing) {
        m_port.setReadBufferSize(1);
        m_readPause.start();
    }
    deliver(bytes);
}

void SerialLink::endReadPause()
{
    if (!m_port.isOpen() || m_losing)
        return;
    // The port reads again: what waits in the device comes with its next
    // readyRead, the byte it holds included. With nothing waiting there,
    // the byte it holds is handed on now.
    m_port.setReadBufferSize(0);
    int waiting = 0;
    if (::ioctl(int(m_port.handle()), FIONREAD, &waiting) == 0 && waiting > 0)
        return;
    if (m_port.bytesAvailable() > 0)
        onReadyRead();
}

void SerialLink::stopReadPause()
{
    m_readPause.stop();
    m_sinceRead.invalidate();
    m_port.setReadBufferSize(0);
}

void SerialLink::deliver(const QByteArray& bytes)
{
    // No handler will wait: hand the bytes on at once (behind any that are
    // still on their way, so the order holds).
    if (m_handlersWait && !m_handlersWait() && m_queuedDeliveries == 0) {
        emit received(bytes);
        return;
    }
    // Otherwise from the event loop rather than from inside readyRead: Qt
    // does not emit readyRead again while a slot of it runs, and the receive
    // path may wait a long time (an automatic answer).
    ++m_queuedDeliveries;
    QMetaObject::invokeMethod(this, [this, bytes] {
        --m_queuedDeliveries;
        emit received(bytes);
    }, Qt::QueuedConnection);
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError: // a device without modem lines, for one
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        if (!m_port.isOpen())
            return;
        // Only a device that is gone ends the link. Anything else (a device
        // that cannot take more just now) passes: the port tries again when
        // the device is ready. The error's own text is not used, as it may
        // name an earlier, unrelated failure.
        if (const QString cause = lossCause(); !cause.isEmpty())
            handleLoss(cause);
        else
            m_port.clearError();
        return;
    default:
        if (m_port.isOpen())
            emit errorEvent(UnknownError, m_port.errorString());
        return;
    }
}

QString SerialLink::lossCause() const
{
    pollfd device{int(m_port.handle()), POLLIN | POLLOUT, 0};
    if (device.fd < 0)
        return QStringLiteral("the device is no longer open");
    if (::poll(&device, 1, 0) < 0)
        return QString();
    if (device.revents & POLLNVAL)
        return QStringLiteral("the device is no longer open");
    if (device.revents & POLLHUP)
        return QStringLiteral("the device hung up");
    if (device.revents & POLLERR)
        return QStringLiteral("the device reported an error");
    return QString();
}

void SerialLink::handleLoss(const QString& cause)
{
    // A vanished device reports its error again and again; act on the first
    // one, stop reading and writing, and close from the event loop (not from
    // inside the port's own notification).
    if (m_losing)
        return;
    m_losing = true;
    m_modemPoll.stop();
    stopReadPause();
    const QString device = m_device;
    QMetaObject::invokeMethod(this, [this, device, cause] {
        if (!m_losing)
            return;
        m_port.close();
        m_port.clearError();
        m_losing = false;
        emit openChanged(false);
        emit deviceLost(QStringLiteral("The serial port Com %1 (%2) stopped working and has been closed: %3.\n"
                                       "Check the cable and the interface box, then open the port again.")
                            .arg(m_portNumber).arg(device, cause));
    }, Qt::QueuedConnection);
}

void SerialLink::pollModemLines()
{
    if (!m_port.isOpen() || m_losing)
        return;
    const QSerialPort::PinoutSignals pinout = m_port.pinoutSignals();
    if (m_port.error() != QSerialPort::NoError) {
        // The device has no modem lines to report (a pseudo-terminal, some
        // adapters): stop asking.
        m_port.clearError();
        m_modemPoll.stop();
        return;
    }
    if (m_pinoutKnown) {
        const auto changed = [&](QSerialPort::PinoutSignal s) { return (pinout & s) != (m_lastPinout & s); };
        if (changed(QSerialPort::ClearToSendSignal))
            emit lineEvent(CtsChange);
        if (changed(QSerialPort::DataSetReadySignal))
            emit lineEvent(DsrChange);
        if (changed(QSerialPort::DataCarrierDetectSignal))
            emit lineEvent(CdChange);
        if ((pinout & QSerialPort::RingIndicatorSignal) && !(m_lastPinout & QSerialPort::RingIndicatorSignal))
            emit lineEvent(Ring);
    }
    m_lastPinout = pinout;
    m_pinoutKnown = true;
}
