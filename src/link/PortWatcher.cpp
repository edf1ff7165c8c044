#include "link/PortWatcher.h"

#include <QFile>
#include <QSerialPortInfo>
#include <sys/stat.h>

QList<PortListing> systemPortListing()
{
    QList<PortListing> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortListing port{info.systemLocation(), info.serialNumber(), {}, {}};
        if (info.hasVendorIdentifier())
            port.vendor = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.product = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

PortIdentity identifyPort(const QString& device, bool mapped, const QList<PortListing>& ports)
{
    PortIdentity identity;
    identity.location = device;
    if (mapped) {
        identity.mappedPath = device;
        return identity;
    }
    for (const PortListing& port : ports) {
        if (port.location == device) {
            identity.serialNumber = port.serialNumber;
            identity.vendor = port.vendor;
            identity.product = port.product;
            break;
        }
    }
    return identity;
}

QString locatePort(const PortIdentity& identity, const QList<PortListing>& ports)
{
    const auto sameIds = [&](const PortListing& port) {
        return !identity.hasUsbIds() || (port.vendor == identity.vendor && port.product == identity.product);
    };
    QList<const PortListing*> candidates;
    for (const PortListing& port : ports) {
        if (!identity.serialNumber.isEmpty()) {
            if (port.serialNumber == identity.serialNumber && sameIds(port))
                candidates.append(&port);
        } else if (identity.hasUsbIds()) {
            if (port.serialNumber.isEmpty() && sameIds(port))
                candidates.append(&port);
        } else if (port.location == identity.location) {
            candidates.append(&port);
        }
    }
    if (candidates.size() == 1)
        return candidates.front()->location;
    for (const PortListing* port : std::as_const(candidates)) {
        if (port->location == identity.location)
            return port->location;
    }
    // Several alike, none where it was: picking one would be a guess.
    return QString();
}

PortWatcher::PortWatcher(QObject* parent) : QObject(parent), m_listing(systemPortListing)
{
    m_timer.setInterval(kCheckMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::check);
}

void PortWatcher::remember(const QString& device, const QString& mappedPath)
{
    stop();
    m_identity = mappedPath.isEmpty() ? identifyPort(device, false, m_listing()) : identifyPort(mappedPath, true, {});
}

void PortWatcher::watch()
{
    if (m_identity.location.isEmpty())
        return;
    // The node the device had: while the same node stands there, the device
    // has not come back (the system may take a moment to remove it).
    m_lostNode = nodeAt(m_identity.location);
    m_seenMissing = !m_lostNode.present;
    m_checks = 0;
    m_timer.start();
}

void PortWatcher::stop()
{
    m_timer.stop();
}

PortWatcher::Node PortWatcher::nodeAt(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return Node{};
    return Node{true, qulonglong(info.st_rdev), qulonglong(info.st_ino),
                qulonglong(info.st_ctim.tv_sec) * 1'000'000'000ULL + qulonglong(info.st_ctim.tv_nsec)};
}

QString PortWatcher::currentLocation() const
{
    if (m_identity.isMapped())
        return nodeAt(m_identity.mappedPath).present ? m_identity.mappedPath : QString();
    return locatePort(m_identity, m_listing());
}

void PortWatcher::check()
{
    ++m_checks;
    const QString location = currentLocation();
    if (location.isEmpty()) {
        m_seenMissing = true;
        return;
    }
    if (!m_seenMissing && location == m_identity.location && nodeAt(location) == m_lostNode)
        return;
    emit deviceReturned(location);
}
