#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// One subscriber of the directory file phonebook.txt, which also carries the
// user's favourite and broadcast marks. In the file each record takes a fixed
// 124-byte slot:
//
//   offset  width          field
//        0  2, signed      ID
//        2  12             Number, left-aligned, padded with spaces
//       14  40             Name, left-aligned, padded with spaces
//       54  2, signed      Check   (favourite mark)
//       56  2, signed      RsGr1
//       58  2, signed      RsGr2   (broadcast receiver mark)
//       60  2, signed      RsGr3
//       62  2, signed      RsGr4
//       64  2, signed      SubsNr  (position in the last download, from 1)
//       66  2, unsigned    length of ChangeDate
//       68  length         ChangeDate ("dd.mm.yyyy")
//
// Integers are little-endian; text is one byte per character (Latin-1).
// Bytes of the slot behind ChangeDate are padding.
struct PhonebookRecord {
    static constexpr int kSlotSize = 124;
    static constexpr int kNumberWidth = 12;
    static constexpr int kNameWidth = 40;
    static constexpr int kDateOffset = 68;
    // The longest ChangeDate that fits in a slot.
    static constexpr int kMaxDateLength = kSlotSize - kDateOffset;

    qint16 ID = 0;
    // Always exactly kNumberWidth / kNameWidth characters (see setNumber).
    QString Number = QString(kNumberWidth, QLatin1Char(' '));
    QString Name = QString(kNameWidth, QLatin1Char(' '));
    qint16 Check = 0;
    qint16 RsGr1 = 0;
    qint16 RsGr2 = 0;
    qint16 RsGr3 = 0;
    qint16 RsGr4 = 0;
    qint16 SubsNr = 0;
    QString ChangeDate;

    // Store a text in the fixed-width field: cut, or padded with spaces.
    void setNumber(const QString& text) { Number = fixedWidth(text, kNumberWidth); }
    void setName(const QString& text) { Name = fixedWidth(text, kNameWidth); }

    static QString fixedWidth(const QString& text, int width);

    bool operator==(const PhonebookRecord&) const = default;
};

// The record's bytes, exactly as far as the end of its ChangeDate (68 +
// date length bytes; a ChangeDate longer than the slot allows is cut).
QByteArray encodeRecord(const PhonebookRecord& record);

// A whole 124-byte slot: the record followed by zero padding.
QByteArray encodeSlot(const PhonebookRecord& record);

// Reads one slot. `bytes` must hold at least kSlotSize bytes. A ChangeDate
// length that runs past the slot is cut at the slot's end, so nothing outside
// the slot is ever read.
PhonebookRecord decodeSlot(const char* bytes);

// The phonebook.csv line of a record, CR LF included: the ID in its Str form
// (" 1", "-3"), a comma, the 12-character number, a comma, the 40-character
// name, nothing quoted.
QByteArray csvLine(const PhonebookRecord& record);

// Text of the file's single-byte character set: characters beyond Latin-1
// become their unaccented base letter when that fits, else "?".
QByteArray toPhonebookBytes(const QString& text);
