#include "core/TextFiles.h"

#include "core/DataFile.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

QString decodeFileBytes(const QByteArray& bytes)
{
    const bool hasHighBytes = std::any_of(bytes.begin(), bytes.end(),
                                          [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (hasHighBytes) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(bytes);
        if (!utf8.hasError())
            return decoded;
    }
    return QString::fromLatin1(bytes);
}

QByteArray encodeFileText(const QString& text)
{
    const bool fitsLatin1 = std::all_of(text.begin(), text.end(),
                                        [](QChar c) { return c.unicode() <= 0xFF; });
    return fitsLatin1 ? text.toLatin1() : text.toUtf8();
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

bool writeTextFileAtomic(const QString& path, const QString& text, QString* error)
{
    return writeBytesAtomic(path, encodeFileText(text), error);
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
