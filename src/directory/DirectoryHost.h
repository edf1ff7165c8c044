#pragma once

#include <QHostAddress>
#include <QString>
#include <optional>

// The directory server's host as the configuration gives it: a bare decimal
// number (no point) is the 32-bit address itself, its lowest byte the first
// address byte, so 16777343 is 127.0.0.1. Nothing when the text is not such
// a number (or does not fit in 32 bits).
std::optional<QHostAddress> addressFromNumber(const QString& host);

// Resolves the host: a bare number as above, else a dotted IPv4 address,
// else a host name whose first IPv4 address is taken. A name lookup that
// gives no IPv4 address, or none within timeoutMs, fails with
// "ERROR: GetIp(<host>) failed" in *error. The lookup waits in a nested
// event loop, so the windows keep painting.
std::optional<QHostAddress> resolveDirectoryHost(const QString& host, int timeoutMs, QString* error);
