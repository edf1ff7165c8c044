#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// The packets of the directory protocol. Every packet starts with a type
// byte and a length byte counting the bytes after these two; integers are
// little-endian, texts one byte per character, ended by a zero byte inside
// their field or by the field's end.
namespace directory_protocol {
constexpr quint8 kSearchType = 0x0A;
constexpr quint8 kSearchLength = 0x29; // 41
constexpr quint8 kSearchVersion = 0x01;
constexpr int kSearchSize = 43;
constexpr int kPatternOffset = 3;
constexpr int kPatternSize = 40;

constexpr quint8 kEntryType = 0x05;
constexpr int kEntrySize = 102;
constexpr int kNumberOffset = 2;
constexpr int kNameOffset = 6;
constexpr int kNameSize = 40;

constexpr quint8 kAckType = 0x08;
constexpr quint8 kEndType = 0x09;
} // namespace directory_protocol

// The one buffer every packet of a download is built in and received into.
// It keeps its bytes between packets: a receive overwrites only as many
// bytes as arrived, so after a closed connection the type byte still holds
// the type of the packet before.
class PacketBuffer {
public:
    static constexpr int kSize = 102;

    // Copies the text's bytes to the offset with a zero byte behind them; a
    // text of fieldSize characters or more is cut to fieldSize - 1 so the
    // zero byte stays inside the field. Nothing is written past the buffer.
    void putText(int offset, const QString& text, int fieldSize);
    // The 4 bytes at the offset as a little-endian signed integer.
    qint32 getLong(int offset) const;
    // The bytes from the offset up to the first zero byte, at most fieldSize.
    QString getText(int offset, int fieldSize) const;

    quint8 byte(int index) const { return m_bytes[index]; }
    void setByte(int index, quint8 value) { m_bytes[index] = value; }
    char* data() { return reinterpret_cast<char*>(m_bytes.data()); }
    QByteArray bytes(int count) const { return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), count); }

    // The search request in the buffer: type, length, version and the
    // pattern, its field zero behind the text. Returns the 43 bytes to send.
    QByteArray buildSearchRequest(const QString& pattern = QStringLiteral(" "));

private:
    std::array<quint8, kSize> m_bytes{};
};

// The acknowledgement sent after each entry.
inline QByteArray acknowledgementPacket() { return QByteArray("\x08\x00", 2); }

// "Invalid code or lenght: 0x5 / 60": the type byte in upper-case hex
// without leading zeros, then the count of bytes the packet had.
QString invalidPacketText(quint8 type, qint64 count);
