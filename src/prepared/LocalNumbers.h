#pragma once

#include <QString>
#include <array>

// The list of local and special numbers in "\LocalTelex.txt", without any
// widget: 18 lines, each a number in columns 1 to 3 (padded with blanks),
// three blanks, and from column 7 the description.
namespace localnumbers {

constexpr int kEntries = 18;
// Columns of a line: the number's width, and where the description begins.
constexpr int kNumberWidth = 3;
constexpr int kDescriptionStart = 6;

struct Entry {
    QString number;
    QString description;
};
using Entries = std::array<Entry, kEntries>;

// A line read back: number = columns 1 to 3, description = column 7 on.
Entry entryFromLine(const QString& line);
// The entries of a file's text; entries the text has no line for stay empty.
Entries entriesFromText(const QString& text);

// A line written: the number padded to three characters, three blanks, the
// description.
QString lineFor(const Entry& entry);
// All 18 lines, CR LF after each.
QString fileText(const Entries& entries);

// The caption of an entry's button: the number as three characters, five
// blanks, the description.
QString caption(const Entry& entry);

// What a button dials: the figures that begin the caption's first two
// characters, in the Str form (" 7", " 12"; " 0" when the caption does not
// begin with a figure), and as the label
// the whole caption followed by four blanks.
struct DialRequest {
    QString number;
    QString label;
};
DialRequest dialRequestFor(const QString& caption);

} // namespace localnumbers
