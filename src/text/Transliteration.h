#pragma once

#include <QString>
#include <functional>
#include <optional>

// Spelling of text in the letters a teleprinter can print.
//
// Table A (Transliterate) is used for pasted text and text files; table B is
// used by SendTxt and, in a variant without trailing blanks, by the KLKL
// answer. A character no row covers is returned unchanged.

// Table A: one character in, its telex spelling out. A string that is not
// exactly one character is returned as it is.
QString Transliterate(const QString& oneChar);

// Table B, SendTxt column: "Oe ", "oe ", "ae ", "Ae " keep a trailing blank;
// a carriage return becomes nothing.
QString ConvertForSendTxt(const QString& oneChar);

// Table B, KLKL column: as the SendTxt column, without the trailing blanks.
QString ConvertForKlkl(const QString& oneChar);

// A whole text through table A, characters beyond Latin-1 first spelled with
// their teleprinter-safe ASCII. keepGoing is asked now and then during long
// texts; when it answers false the work stops and nothing is returned.
std::optional<QString> transliterateText(const QString& text, const std::function<bool()>& keepGoing = {});
