#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

// A serial device as the system lists it.
struct PortListing {
    QString location; // "/dev/ttyUSB0"
    QString serialNumber;
    std::optional<quint16> vendor;
    std::optional<quint16> product;
};

// The serial ports of the system now (QSerialPortInfo).
QList<PortListing> systemPortListing();

// What is known of an open port's device, so that the same device can be
// found again after it vanished: a mapped path is watched as it stands (the
// user named it, and it may be a link that is made anew); a device taken
// from the system's list is known by its USB serial number, else by its
// vendor and product, else (a built-in port) by its location.
struct PortIdentity {
    QString mappedPath;
    QString location;
    QString serialNumber;
    std::optional<quint16> vendor;
    std::optional<quint16> product;

    bool isMapped() const { return !mappedPath.isEmpty(); }
    bool hasUsbIds() const { return vendor.has_value() && product.has_value(); }
};

// The identity of `device`: with `mapped` the path as the settings give it;
// otherwise what `ports` says of the device at that location.
PortIdentity identifyPort(const QString& device, bool mapped, const QList<PortListing>& ports);

// Where a device taken from the system's list stands in `ports` now: the
// port with its serial number (and its vendor and product, when known);
// without a serial number, the port with its vendor and product; without
// USB identities, its old location. When several ports match, the one at
// the old location, else none (picking one would be a guess). Empty when
// it is not there. (A mapped path is not looked up in a list.)
QString locatePort(const PortIdentity& identity, const QList<PortListing>& ports);

// Watches for a vanished device to come back. While watching it checks once
// a second, which costs next to nothing: for a mapped path whether the path
// leads to a device, else the system's port list. The device counts as back
// once it is there and is not the dead device node itself: it was missing
// at some check, or the node at that path is a new one. While it is back,
// each check says so again (a device may take a moment to accept being
// opened), until stop().
class PortWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckMs = 1000;

    explicit PortWatcher(QObject* parent = nullptr);

    // The device of the port just opened. `mappedPath`: the path the
    // settings map the port to, empty when the device came from the list.
    void remember(const QString& device, const QString& mappedPath);
    const PortIdentity& identity() const { return m_identity; }

    // Starts watching for the remembered device (it has just vanished).
    void watch();
    void stop();
    bool isWatching() const { return m_timer.isActive(); }
    // How many checks were made since watching began.
    int checks() const { return m_checks; }

    // Tests give their own list of the system's ports, and check more often.
    void setPortListing(std::function<QList<PortListing>()> listing) { m_listing = std::move(listing); }
    void setCheckInterval(int ms) { m_timer.setInterval(ms); }

signals:
    // The device is there again, at `device`.
    void deviceReturned(const QString& device);

private:
    struct Node {
        bool present = false;
        qulonglong device = 0, inode = 0, changedNs = 0;
        bool operator==(const Node&) const = default;
    };
    static Node nodeAt(const QString& path);
    void check();
    // Where the device would be now; empty when it is not there.
    QString currentLocation() const;

    PortIdentity m_identity;
    std::function<QList<PortListing>()> m_listing;
    QTimer m_timer;
    Node m_lostNode;
    bool m_seenMissing = false;
    int m_checks = 0;
};
