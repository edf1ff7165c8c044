#include "text/KlklText.h"

#include "core/TextFiles.h"
#include "text/LineEncoding.h"
#include "text/Transliteration.h"
#include "text/WrapText.h"

namespace {
// The column after which a carriage return is sent even inside a line.
constexpr int kLastColumn = 69;
const QString kLineEnd = QStringLiteral("\r\n");
} // namespace

QString klklWrappedText(const QString& fileText)
{
    QString wrapped;
    for (const QString& line : splitLines(spellBeyondLatin1(fileText)))
        wrapped += WrapText(line, kTelexLineWidth) + kLineEnd;
    return wrapped;
}

QVector<KlklPiece> klklPieces(const QString& wrapped)
{
    QVector<KlklPiece> pieces;
    pieces.reserve(wrapped.size());
    int column = 0;
    for (const QChar c : wrapped) {
        if (c == u'\r')
            column = 0;
        QString text = ConvertForKlkl(QString(c));
        if (++column > kLastColumn) {
            text += u'\r';
            column = 0;
        }
        pieces.append({text, column});
    }
    return pieces;
}
