#include "text/SourceFile.h"

#include "text/FileText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kPieceBytes = 1 << 20;

} // namespace

QString fileProblemText(const QString& path, const QString& reason)
{
    return QDir::toNativeSeparators(path) + "\n" + reason;
}

SourceText readSourceFile(const QString& path, const std::function<bool()>& keepGoing)
{
    SourceText source;
    const QFileInfo info(path);
    if (info.exists() && info.isDir()) {
        source.problem = QStringLiteral("This is a folder, not a text file. Nothing was sent.");
        return source;
    }
    if (info.exists() && !info.isFile()) {
        source.problem = QStringLiteral("This is a device or a pipe, not a text file. Nothing was sent.");
        return source;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        source.problem = file.errorString();
        return source;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(std::max<qint64>(0, file.size())));
    for (;;) {
        if (keepGoing && !keepGoing()) {
            source.stopped = true;
            return source;
        }
        const QByteArray piece = file.read(kPieceBytes);
        if (file.error() != QFileDevice::NoError) {
            source.problem = file.errorString();
            return source;
        }
        if (piece.isEmpty())
            break;
        if (piece.contains('\0')) {
            source.problem = QStringLiteral("This file holds binary data (zero bytes), not text. Nothing was sent.");
            return source;
        }
        bytes += piece;
    }
    source.text = decodeFileBytes(bytes);
    return source;
}
