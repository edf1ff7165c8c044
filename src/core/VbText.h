#pragma once

#include <QString>
#include <optional>

// The number texts the program shows and sends.

// The Str form: decimal digits behind a blank when the number is not
// negative, behind "-" when it is ("12" -> " 12", -1 -> "-1").
QString vbStr(qint64 number);
QString vbStr(double number);

// The numeric value of the leading number of a text: blanks and tabs before
// it are skipped, an optional sign, digits, a decimal point and an exponent
// are taken; anything else ends the number. No number gives 0.
double leadingNumber(const QString& text);

// A whole number in 16 bits written alone on the text (blanks around it
// allowed); nothing when the text is not such a number.
std::optional<qint16> wholeNumber16(const QString& text);

// Plain decimal text of a number without a leading blank: 11151 -> "11151",
// 0.5 -> "0.5".
QString plainNumber(double number);

// The text without the blanks at its end (the way fixed-width fields are
// read back; other white space stays).
QString withoutTrailingBlanks(const QString& text);
