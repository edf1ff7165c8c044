#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// How text files are read and written. Files are read as UTF-8 when their
// bytes are valid UTF-8 and hold a multi-byte sequence, else as Latin-1; they
// are written as Latin-1 when every character fits, else as UTF-8.

QString decodeFileBytes(const QByteArray& bytes);
QByteArray encodeFileText(const QString& text);

// The whole file as text; nothing (and the reason in *error) when it cannot
// be read. Only regular files are read (core/DataFile).
std::optional<QString> readTextFile(const QString& path, QString* error = nullptr);

// Writes the text under a temporary name in the same folder and renames it
// over the old file, so a failure never leaves a half-written file behind.
bool writeTextFileAtomic(const QString& path, const QString& text, QString* error = nullptr);
bool writeBytesAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Splits a text into lines at CR LF, CR or LF. A line end at the very end
// does not start another, empty line.
QStringList splitLines(const QString& text);
