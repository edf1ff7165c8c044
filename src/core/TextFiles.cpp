#include "core/TextFiles.h"

#include "core/DataFile.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace {

bool hasHighBytes(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The text when the bytes read as UTF-8 (valid, with a multi-byte sequence).
std::optional<QString> asUtf8(const QByteArray& bytes)
{
    if (!hasHighBytes(bytes))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return decoded;
}

} // namespace

DecodedText decodeFileText(const QByteArray& bytes)
{
    if (std::optional<QString> utf8 = asUtf8(bytes))
        return {*std::move(utf8), TextEncoding::Utf8, bytes.startsWith("\xEF\xBB\xBF")};
    return {QString::fromLatin1(bytes), TextEncoding::Latin1, false};
}

QString decodeFileBytes(const QByteArray& bytes)
{
    return decodeFileText(bytes).text;
}

QByteArray encodeFileText(const QString& text, TextEncoding preferred)
{
    if (preferred == TextEncoding::Latin1) {
        const bool fitsLatin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
        if (fitsLatin1) {
            QByteArray latin1 = text.toLatin1();
            if (!asUtf8(latin1))
                return latin1;
        }
    }
    return text.toUtf8();
}

std::optional<QString> readTextFile(const QString& path, QString* error)
{
    const FileBytes file = readFileBytes(path);
    if (!file.read()) {
        if (error)
            *error = file.problem;
        return std::nullopt;
    }
    return decodeFileBytes(file.bytes);
}

bool writeBytesAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // Straight to the descriptor: Qt reports a write the system took only
    // in part (a disk with a little room left) as "Unknown error", and
    // commit() would rename a short file over the old one all the same.
    QString reason;
    if (writeAllBytes(int(file.handle()), bytes, &reason) != bytes.size()) {
        if (error)
            *error = reason;
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeTextFileAtomic(const QString& path, const QString& text, QString* error, TextEncoding preferred)
{
    return writeBytesAtomic(path, encodeFileText(text, preferred), error);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    bool pendingLine = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines << current;
            current.clear();
            pendingLine = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
            pendingLine = true;
        }
    }
    if (pendingLine)
        lines << current;
    return lines;
}
