#include "text/TransmissionFiles.h"

#include "core/DataFile.h"
#include "core/TextFiles.h"

#include <algorithm>

#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

constexpr qint64 kPieceBytes = 1 << 20;

bool stopRequested(const std::function<bool()>& keepGoing)
{
    return keepGoing && !keepGoing();
}

// Where a piece of UTF-8 may end at or before `end` without cutting a
// multi-byte sequence in two.
qsizetype sequenceBoundary(const QByteArray& bytes, qsizetype end)
{
    if (end >= bytes.size())
        return bytes.size();
    qsizetype boundary = end;
    // Step back over continuation bytes (10xxxxxx) to the lead byte.
    for (int i = 0; i < 3 && boundary > 0 && (uchar(bytes[boundary]) & 0xC0) == 0x80; ++i)
        --boundary;
    return boundary > 0 ? boundary : end;
}

// The same choice as decodeFileBytes, made piece by piece.
std::optional<QString> decodeInPieces(const QByteArray& bytes, const std::function<bool()>& keepGoing)
{
    QString text;
    text.reserve(bytes.size());
    bool utf8 = true;
    qsizetype start = 0;
    while (utf8 && start < bytes.size()) {
        if (stopRequested(keepGoing))
            return std::nullopt;
        const qsizetype end = sequenceBoundary(bytes, start + kPieceBytes);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text += decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        utf8 = !decoder.hasError();
        start = end;
    }
    if (utf8)
        return text; // valid UTF-8; without high bytes it reads the same as Latin-1
    text.clear();
    for (start = 0; start < bytes.size(); start += kPieceBytes) {
        if (stopRequested(keepGoing))
            return std::nullopt;
        text += QString::fromLatin1(QByteArrayView(bytes).sliced(start, std::min(kPieceBytes, bytes.size() - start)));
    }
    return text;
}

} // namespace

QString fileProblemText(const QString& path, const QString& reason)
{
    return QDir::toNativeSeparators(path) + "\n" + reason;
}

SourceText readSourceFile(const QString& path, const std::function<bool()>& keepGoing)
{
    SourceText source;
    // Binary data is refused at its first piece, not after reading all of it.
    bool binary = false;
    FileBytes file = readFileBytes(path, -1, [&](QByteArrayView piece) {
        binary = piece.contains('\0');
        return !binary && !stopRequested(keepGoing);
    });
    if (binary) {
        source.problem = QStringLiteral("This file holds binary data (zero bytes), not text. Nothing was sent.");
        return source;
    }
    if (file.outcome == FileBytes::Outcome::Stopped) {
        source.stopped = true;
        return source;
    }
    if (!file.read()) {
        source.problem = file.problem;
        if (source.problem == kFolderNotFile || source.problem == kDeviceNotFile)
            source.problem += QStringLiteral(" Nothing was sent.");
        return source;
    }
    std::optional<QString> text = decodeInPieces(file.bytes, keepGoing);
    if (!text) {
        source.stopped = true;
        return source;
    }
    source.text = *std::move(text);
    return source;
}

bool writeScratchFile(const QString& path, const QString& text, const std::function<bool()>& keepGoing,
                      QString* error)
{
    error->clear();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    for (qsizetype start = 0; start < text.size(); start += kPieceBytes) {
        if (stopRequested(keepGoing)) {
            file.cancelWriting();
            return false;
        }
        const QStringView piece = QStringView(text).sliced(start, std::min(kPieceBytes, text.size() - start));
        const QByteArray bytes = latin1 ? piece.toLatin1() : piece.toUtf8();
        // Straight to the descriptor, so that a full disk is reported with
        // its cause (core/DataFile).
        if (writeAllBytes(int(file.handle()), bytes, error) != bytes.size()) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
