#include "directory/DirectoryPackets.h"

#include <QtEndian>

void PacketBuffer::putText(int offset, const QString& text, int fieldSize)
{
    if (offset < 0 || offset >= kSize || fieldSize <= 0)
        return;
    fieldSize = std::min(fieldSize, kSize - offset);
    const QByteArray bytes = text.left(fieldSize - 1).toLatin1();
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + offset);
    m_bytes[offset + bytes.size()] = 0;
}

qint32 PacketBuffer::getLong(int offset) const
{
    if (offset < 0 || offset + 4 > kSize)
        return 0;
    return qFromLittleEndian<qint32>(m_bytes.data() + offset);
}

QString PacketBuffer::getText(int offset, int fieldSize) const
{
    if (offset < 0 || offset >= kSize)
        return {};
    const int end = std::min(offset + std::max(fieldSize, 0), kSize);
    int stop = offset;
    while (stop < end && m_bytes[stop] != 0)
        ++stop;
    return QString::fromLatin1(reinterpret_cast<const char*>(m_bytes.data()) + offset, stop - offset);
}

QByteArray PacketBuffer::buildSearchRequest(const QString& pattern)
{
    using namespace directory_protocol;
    m_bytes[0] = kSearchType;
    m_bytes[1] = kSearchLength;
    m_bytes[2] = kSearchVersion;
    std::fill(m_bytes.begin() + kPatternOffset, m_bytes.begin() + kPatternOffset + kPatternSize, 0);
    putText(kPatternOffset, pattern, kPatternSize);
    return bytes(kSearchSize);
}

QString invalidPacketText(quint8 type, qint64 count)
{
    return "Invalid code or lenght: 0x" + QString::number(type, 16).toUpper() + " / " + QString::number(count);
}
