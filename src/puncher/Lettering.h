#pragma once

#include <QChar>
#include <QString>

// Human-readable tape lettering: the telex characters whose punched columns,
// seen together on the tape, draw a text in block letters.
//
// The box punches each character it receives as one tape column: a letter or
// a blank as its letters-case code, the letters-shift code (14) as a column
// of all five holes, ESC "J" and ESC "M" as the line-feed and
// carriage-return codes (hole 2, hole 4), and "#" as a column without code
// holes that separates the letters.

namespace lettering {

constexpr char16_t kLeadIn = 13;    // carriage return before the lettering
constexpr char16_t kFullColumn = 14; // letters shift: all five holes
constexpr char16_t kEscape = 27;
constexpr char16_t kBlankColumn = '#';
constexpr int kLeaderColumns = 5;
constexpr int kTrailerColumns = 4;

// The characters sent for one character of the text (already in upper
// case), the gap after it included; empty when it has no lettering.
QString sequenceFor(QChar upper);

} // namespace lettering

// Letters OriginString: the lead-in and five blank columns of leader, the
// sequence of every character that has one (upper case; the others are
// skipped without a gap), four blank columns of trailer. ConvertedString
// receives the whole sequence, replacing what it held.
void Puncher(const QString& OriginString, QString& ConvertedString);
