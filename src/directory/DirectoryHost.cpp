#include "directory/DirectoryHost.h"

#include "core/EventWait.h"

#include <QHostInfo>
#include <QtEndian>

std::optional<QHostAddress> addressFromNumber(const QString& host)
{
    const QString text = host.trimmed();
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const quint64 value = text.toULongLong();
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    // The value's bytes in memory order (lowest first) are the address bytes
    // in order; QHostAddress wants the first address byte highest.
    return QHostAddress(qbswap(quint32(value)));
}

std::optional<QHostAddress> resolveDirectoryHost(const QString& host, int timeoutMs, QString* error)
{
    if (const auto numeric = addressFromNumber(host))
        return numeric;

    QHostAddress dotted;
    if (dotted.setAddress(host.trimmed()) && dotted.protocol() == QAbstractSocket::IPv4Protocol)
        return dotted;

    std::optional<QHostAddress> found;
    if (!host.trimmed().isEmpty()) {
        QObject context; // ends the callback should the lookup outlive this call
        EventWait lookedUp;
        const int lookup = QHostInfo::lookupHost(host.trimmed(), &context, [&](const QHostInfo& info) {
            for (const QHostAddress& address : info.addresses()) {
                if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                    found = address;
                    break;
                }
            }
            lookedUp.finish();
        });
        if (lookedUp.wait(timeoutMs) != EventWait::Outcome::Finished)
            QHostInfo::abortHostLookup(lookup);
    }
    if (!found)
        *error = "ERROR: GetIp(" + host + ") failed";
    return found;
}
