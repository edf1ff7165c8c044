#include "directory/PhonebookRecord.h"

#include "core/VbText.h"

#include <QtEndian>

namespace {

constexpr int kIdOffset = 0;
constexpr int kNumberOffset = 2;
constexpr int kNameOffset = 14;
constexpr int kCheckOffset = 54;
constexpr int kDateLengthOffset = 66;

void putInt16(QByteArray& bytes, int offset, qint16 value)
{
    qToLittleEndian<qint16>(value, bytes.data() + offset);
}

qint16 getInt16(const char* bytes, int offset)
{
    return qFromLittleEndian<qint16>(bytes + offset);
}

void putText(QByteArray& bytes, int offset, const QString& text, int width)
{
    const QByteArray encoded = toPhonebookBytes(PhonebookRecord::fixedWidth(text, width));
    std::copy(encoded.begin(), encoded.end(), bytes.begin() + offset);
}

} // namespace

QString PhonebookRecord::fixedWidth(const QString& text, int width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), QLatin1Char(' '));
}

QByteArray toPhonebookBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() <= 0xFF) {
            bytes.append(char(c.unicode()));
            continue;
        }
        // "č" -> "c", "Ł" has no decomposition -> "?".
        const QString decomposed = c.decomposition();
        if (!decomposed.isEmpty() && decomposed.at(0).unicode() <= 0xFF)
            bytes.append(char(decomposed.at(0).unicode()));
        else
            bytes.append('?');
    }
    return bytes;
}

QByteArray encodeRecord(const PhonebookRecord& record)
{
    const QByteArray date = toPhonebookBytes(record.ChangeDate.left(PhonebookRecord::kMaxDateLength));
    QByteArray bytes(PhonebookRecord::kDateOffset + date.size(), '\0');
    putInt16(bytes, kIdOffset, record.ID);
    putText(bytes, kNumberOffset, record.Number, PhonebookRecord::kNumberWidth);
    putText(bytes, kNameOffset, record.Name, PhonebookRecord::kNameWidth);
    const qint16 flags[] = {record.Check, record.RsGr1, record.RsGr2, record.RsGr3, record.RsGr4, record.SubsNr};
    for (int i = 0; i < 6; ++i)
        putInt16(bytes, kCheckOffset + 2 * i, flags[i]);
    qToLittleEndian<quint16>(quint16(date.size()), bytes.data() + kDateLengthOffset);
    std::copy(date.begin(), date.end(), bytes.begin() + PhonebookRecord::kDateOffset);
    return bytes;
}

QByteArray encodeSlot(const PhonebookRecord& record)
{
    QByteArray slot = encodeRecord(record);
    slot.append(PhonebookRecord::kSlotSize - slot.size(), '\0');
    return slot;
}

PhonebookRecord decodeSlot(const char* bytes)
{
    PhonebookRecord record;
    record.ID = getInt16(bytes, kIdOffset);
    record.Number = QString::fromLatin1(bytes + kNumberOffset, PhonebookRecord::kNumberWidth);
    record.Name = QString::fromLatin1(bytes + kNameOffset, PhonebookRecord::kNameWidth);
    record.Check = getInt16(bytes, kCheckOffset);
    record.RsGr1 = getInt16(bytes, kCheckOffset + 2);
    record.RsGr2 = getInt16(bytes, kCheckOffset + 4);
    record.RsGr3 = getInt16(bytes, kCheckOffset + 6);
    record.RsGr4 = getInt16(bytes, kCheckOffset + 8);
    record.SubsNr = getInt16(bytes, kCheckOffset + 10);
    const int length = qFromLittleEndian<quint16>(bytes + kDateLengthOffset);
    record.ChangeDate = QString::fromLatin1(bytes + PhonebookRecord::kDateOffset,
                                            std::min(length, PhonebookRecord::kMaxDateLength));
    return record;
}

QByteArray csvLine(const PhonebookRecord& record)
{
    return toPhonebookBytes(vbStr(qint64(record.ID))) + ','
           + toPhonebookBytes(PhonebookRecord::fixedWidth(record.Number, PhonebookRecord::kNumberWidth)) + ','
           + toPhonebookBytes(PhonebookRecord::fixedWidth(record.Name, PhonebookRecord::kNameWidth)) + "\r\n";
}
