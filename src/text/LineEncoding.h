#pragma once

#include <QByteArray>
#include <QString>

// The line carries 8-bit Latin-1 bytes. Characters beyond Latin-1 that no
// transliteration row covers (typographic quotes, dashes, the ellipsis, the
// euro sign, letters of other alphabets) are first spelled with the nearest
// teleprinter-safe ASCII, so nothing goes out as an undefined byte.

// The text with every character beyond Latin-1 replaced by its safe spelling.
QString spellBeyondLatin1(const QString& text);

// The bytes that go on the line for a text.
QByteArray toLineBytes(const QString& text);
