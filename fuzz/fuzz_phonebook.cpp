// phonebook.txt slots: any bytes decoded as records, written back and read
// again. A slot's fixed fields survive the round trip byte for byte; a
// ChangeDate length that runs past the slot is cut, never followed.
#include "FuzzSupport.h"

#include "directory/PhonebookRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int kSlot = PhonebookRecord::kSlotSize;
    const QByteArray bytes = fuzzBytes(data, size);
    // Whole slots, as the file is read; stray bytes at the end are left out.
    for (qsizetype offset = 0; offset + kSlot <= bytes.size(); offset += kSlot) {
        const QByteArray slot = bytes.mid(offset, kSlot);
        const PhonebookRecord record = decodeSlot(slot.constData());
        FUZZ_CHECK(record.Number.size() == PhonebookRecord::kNumberWidth, "number field width");
        FUZZ_CHECK(record.Name.size() == PhonebookRecord::kNameWidth, "name field width");
        FUZZ_CHECK(record.ChangeDate.size() <= PhonebookRecord::kMaxDateLength, "date within the slot");

        const QByteArray written = encodeSlot(record);
        FUZZ_CHECK(written.size() == kSlot, "a slot is 124 bytes");
        FUZZ_CHECK(written.left(66) == slot.left(66), "fixed fields written back unchanged");
        const int length = quint8(slot[66]) | (quint8(slot[67]) << 8);
        const int kept = std::min(length, PhonebookRecord::kMaxDateLength);
        FUZZ_CHECK(written.mid(PhonebookRecord::kDateOffset, kept) == slot.mid(PhonebookRecord::kDateOffset, kept),
                   "date written back unchanged");
        FUZZ_CHECK(decodeSlot(written.constData()) == record, "a written slot reads as the same record");

        const QByteArray csv = csvLine(record);
        FUZZ_CHECK(csv.endsWith("\r\n"), "a CSV line ends with CR LF");
        FUZZ_CHECK(csv.size() >= 2 + 1 + 12 + 1 + 40 + 2, "a CSV line holds both fixed fields");
    }

    // The same bytes as text typed into the fields: always the fixed widths,
    // and one byte per character in the file.
    const QString text = utf16Text(data, size);
    PhonebookRecord typed;
    typed.setNumber(text);
    typed.setName(text);
    typed.ChangeDate = text;
    const QByteArray slot = encodeSlot(typed);
    FUZZ_CHECK(slot.size() == kSlot, "a typed record fills one slot");
    const PhonebookRecord back = decodeSlot(slot.constData());
    FUZZ_CHECK(back.Number == QString::fromLatin1(toPhonebookBytes(typed.Number)), "number as the file holds it");
    FUZZ_CHECK(back.Name == QString::fromLatin1(toPhonebookBytes(typed.Name)), "name as the file holds it");
    return 0;
}
