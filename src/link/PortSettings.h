#pragma once

#include <QSerialPort>
#include <QString>
#include <optional>

// The serial settings string, speed, parity letter, data bits and stop bits
// joined by commas ("9600,n,8,1", "9600,n,8,1.5").
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Parses a settings string; nothing (and the reason) when it is malformed.
// The parity letter may be written in either case.
std::optional<LineSettings> parseLineSettings(const QString& settings, QString* error = nullptr);

// Flow control numbers: 0 none, 1 Xon/Xoff, 2 RTS, 3 Xon/RTS.
constexpr int kFlowControlCount = 4;

// What the port settings window shows for a settings string, read by
// position from its end so that "9600,n,8,1" and "9600,n,8,1.5" both work.
struct PortDialogFields {
    QString speed;
    int parityIndex = -1; // position in the parity list; -1 leaves it unselected
    QString dataBits;
    QString stopBits;
};
PortDialogFields dialogFieldsFromSettings(const QString& settings);

// The settings string the window saves: trimmed speed, the first letter of
// the parity text ("None" gives "N"), trimmed data bits and stop bits.
QString settingsFromDialog(const QString& speed, const QString& parityText, const QString& dataBits,
                           const QString& stopBits);

// The window's "current settings" line.
QString settingsSummary(const QString& settings, int portNumber, int flowControl);

// The number at the end of a port list entry "Com 12" (its last two
// characters); nothing when the entry is empty or holds no number.
std::optional<int> portNumberFromEntry(const QString& entry);

class SerialLink;
class SettingsStore;

// The port's settings string, port number and flow control as the settings
// store keeps them. Restoring gives each stored value (when not empty) to
// the link and stops at the first one refused, with the reason in *error.
bool restorePortSettings(SerialLink& link, const SettingsStore& store, QString* error);
// Stores the link's current values; false when the store cannot be written.
bool savePortSettings(const SerialLink& link, SettingsStore& store);
