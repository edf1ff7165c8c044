#pragma once

// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer then keeps the input as a finding), and the text forms the
// parsers meet.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property that must hold for every input; a failed one is a finding.
#define FUZZ_CHECK(condition, what)                                                                              \
    do {                                                                                                         \
        if (!(condition)) {                                                                                      \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", what, __FILE__, __LINE__);                  \
            std::abort();                                                                                        \
        }                                                                                                        \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The bytes as the program reads a text file: every byte one character,
// as Latin-1, or as UTF-8 when the bytes are valid UTF-8 (the file reader
// decides the same way; both forms are worth trying).
inline QString latin1Text(const uint8_t* data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Pairs of bytes as UTF-16 code units: any character, lone surrogates
// included, the way a clipboard may hand them over.
inline QString utf16Text(const uint8_t* data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
    return text;
}
