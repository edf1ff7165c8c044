#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// How text files are read and written. Files are read as UTF-8 when their
// bytes are valid UTF-8 and hold a multi-byte sequence, else as Latin-1.
// They are written in the encoding asked for (Latin-1 unless the text came
// from a UTF-8 file), except where that would not read back as the same
// text: a character beyond Latin-1, or Latin-1 bytes that happen to form
// valid UTF-8 ("+\xD5\x87" would read back as one character), is written
// as UTF-8.

enum class TextEncoding { Latin1, Utf8 };

// A UTF-8 file's byte order mark is no part of its text.
struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Latin1;
    bool byteOrderMark = false;
};

DecodedText decodeFileText(const QByteArray& bytes);
QString decodeFileBytes(const QByteArray& bytes);
QByteArray encodeFileText(const QString& text, TextEncoding preferred = TextEncoding::Latin1);

// The whole file as text; nothing (and the reason in *error) when it cannot
// be read. Only regular files are read (core/DataFile).
std::optional<QString> readTextFile(const QString& path, QString* error = nullptr);

// Writes the text under a temporary name in the same folder and renames it
// over the old file, so a failure never leaves a half-written file behind.
bool writeTextFileAtomic(const QString& path, const QString& text, QString* error = nullptr,
                         TextEncoding preferred = TextEncoding::Latin1);
bool writeBytesAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Splits a text into lines at CR LF, CR or LF. A line end at the very end
// does not start another, empty line.
QStringList splitLines(const QString& text);
