#include "link/PortSettings.h"

#include "core/SettingsStore.h"
#include "core/VbText.h"
#include "link/SerialLink.h"

#include <QStringList>

std::optional<LineSettings> parseLineSettings(const QString& settings, QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<LineSettings> {
        if (error)
            *error = QStringLiteral("Invalid port settings \"%1\": %2").arg(settings, why);
        return std::nullopt;
    };
    const QStringList parts = settings.split(',');
    if (parts.size() != 4)
        return fail("speed, parity, data bits and stop bits must be given, separated by commas");

    LineSettings line;
    bool ok = false;
    line.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || line.baudRate <= 0)
        return fail("the speed must be a positive whole number");

    const QString parity = parts[1].trimmed().toLower();
    if (parity == "n") line.parity = QSerialPort::NoParity;
    else if (parity == "e") line.parity = QSerialPort::EvenParity;
    else if (parity == "o") line.parity = QSerialPort::OddParity;
    else if (parity == "m") line.parity = QSerialPort::MarkParity;
    else if (parity == "s") line.parity = QSerialPort::SpaceParity;
    else return fail("the parity must be one of the letters n, e, o, m, s");

    const QString data = parts[2].trimmed();
    if (data == "5") line.dataBits = QSerialPort::Data5;
    else if (data == "6") line.dataBits = QSerialPort::Data6;
    else if (data == "7") line.dataBits = QSerialPort::Data7;
    else if (data == "8") line.dataBits = QSerialPort::Data8;
    else return fail("the data bits must be 5, 6, 7 or 8");

    const QString stop = parts[3].trimmed();
    if (stop == "1") line.stopBits = QSerialPort::OneStop;
    else if (stop == "1.5") line.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == "2") line.stopBits = QSerialPort::TwoStop;
    else return fail("the stop bits must be 1, 1.5 or 2");

    return line;
}

PortDialogFields dialogFieldsFromSettings(const QString& s)
{
    PortDialogFields fields;
    const int offset = s.contains('.') ? 2 : 0;
    const int length = s.size();
    // 1-based character at position p, empty outside the text.
    auto charAt = [&](int p) { return p >= 1 && p <= length ? QString(s[p - 1]) : QString(); };

    fields.speed = s.left(std::max(0, length - 6 - offset));
    const QString parity = charAt(length - 4 - offset).toLower();
    const QString letters = "eonms";
    if (parity.size() == 1 && letters.contains(parity))
        fields.parityIndex = letters.indexOf(parity);
    fields.dataBits = charAt(length - 2 - offset);
    fields.stopBits = s.right(1 + offset);
    return fields;
}

QString settingsFromDialog(const QString& speed, const QString& parityText, const QString& dataBits,
                           const QString& stopBits)
{
    return speed.trimmed() + "," + parityText.left(1) + "," + dataBits.trimmed() + "," + stopBits.trimmed();
}

QString settingsSummary(const QString& settings, int portNumber, int flowControl)
{
    return settings + "   Port: " + vbStr(qint64(portNumber)) + "  Flow " + vbStr(qint64(flowControl));
}

std::optional<int> portNumberFromEntry(const QString& entry)
{
    const QString tail = entry.right(2).trimmed();
    if (tail.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int number = tail.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

bool restorePortSettings(SerialLink& link, const SettingsStore& store, QString* error)
{
    const QString settings = store.get(setting_keys::PortSettings);
    if (!settings.isEmpty() && !link.setSettings(settings, error))
        return false;
    const QString port = store.get(setting_keys::CommPort);
    if (!port.isEmpty()) {
        bool ok = false;
        const int number = port.trimmed().toInt(&ok);
        if (!ok) {
            *error = QStringLiteral("The stored port number \"%1\" is not a number.").arg(port);
            return false;
        }
        if (!link.setPortNumber(number, error))
            return false;
    }
    const QString handshaking = store.get(setting_keys::Handshaking);
    return handshaking.isEmpty() || link.setHandshaking(int(leadingNumber(handshaking)), error);
}

bool savePortSettings(const SerialLink& link, SettingsStore& store)
{
    store.save(setting_keys::PortSettings, link.settings());
    store.save(setting_keys::CommPort, QString::number(link.portNumber()));
    store.save(setting_keys::Handshaking, QString::number(link.handshaking()));
    return store.sync();
}
