#include "puncher/TapeGlyphs.h"

#include <QHash>
#include <QStringList>

namespace tape {

namespace {

constexpr int kHoleRows[5] = {5, 15, 35, 45, 55};

struct GlyphRow {
    char16_t character;
    const char* columns; // the holes of each column, columns separated by blanks
    int advance;
};

// The picture's own glyphs; some differ in detail from the punched lettering.
// A blank has no columns, only its advance.
constexpr GlyphRow kGlyphRows[] = {
    {'A', "2345 13 13 2345", 38},
    {'B', "12345 135 135 24", 38},
    {'C', "234 15 15 24", 38},
    {'D', "12345 15 15 234", 38},
    {'E', "12345 135 135 15", 38},
    {'F', "12345 13 13 1", 38},
    {'G', "234 15 135 134", 38},
    {'H', "12345 3 3 12345", 38},
    {'I', "15 12345 15", 30},
    {'J', "34 5 5 1234", 38},
    {'K', "12345 3 24 15", 38},
    {'L', "12345 5 5 5", 38},
    {'M', "12345 2 3 2 12345", 44},
    {'N', "12345 2 3 12345", 38},
    {'O', "234 15 15 234", 38},
    {'P', "12345 13 13 23", 38},
    {'Q', "234 15 135 234 5", 44},
    {'R', "12345 13 14 25", 38},
    {'S', "25 135 135 14", 38},
    {'T', "1 1 12345 1 1", 44},
    {'U', "1234 5 5 1234", 38},
    {'V', "123 45 45 123", 38},
    {'W', "1234 5 34 5 1234", 44},
    {'X', "15 24 3 24 15", 44},
    {'Y', "1 2 345 2 1", 44},
    {'Z', "145 135 15 125 15", 44},
    {'1', "25 12345 5", 30},
    {'2', "25 145 135 25", 38},
    {'3', "24 15 135 234", 38},
    {'4', "34 24 14 345", 38},
    {'5', "1235 135 135 14", 38},
    {'6', "234 135 135 14", 38},
    {'7', "1 145 13 12", 38},
    {'8', "24 135 135 24", 38},
    {'9', "25 135 135 234", 38},
    {'0', "234 15 15 234", 38},
    {'+', "3 234 3", 30},
    {'-', "3 3 3 3", 38},
    {'?', "2 1 135 2", 38},
    {'/', "5 34 2 1", 38},
    {'\'', "12 1", 25},
    {'(', "234 15", 25},
    {'.', "5", 20},
    {')', "15 234", 25},
    {'=', "35 35 35 35", 38},
    {':', "24", 15},
    {',', "4 45", 25},
    {' ', "", 22},
};

QVector<quint8> parseColumns(const char* text)
{
    QVector<quint8> columns;
    for (const QString& column : QString::fromLatin1(text).split(' ', Qt::SkipEmptyParts)) {
        quint8 holes = 0;
        for (const QChar digit : column)
            holes |= quint8(1u << (digit.digitValue() - 1));
        columns << holes;
    }
    return columns;
}

QHash<QChar, Glyph> buildGlyphs()
{
    QHash<QChar, Glyph> glyphs;
    for (const GlyphRow& row : kGlyphRows)
        glyphs.insert(QChar(row.character), Glyph{QChar(row.character), parseColumns(row.columns), row.advance});
    return glyphs;
}

} // namespace

int holeRowY(int hole)
{
    return hole >= 1 && hole <= 5 ? kHoleRows[hole - 1] : kFeedRowY;
}

const Glyph* glyphFor(QChar upper)
{
    static const QHash<QChar, Glyph> glyphs = buildGlyphs();
    const auto found = glyphs.constFind(upper);
    return found == glyphs.constEnd() ? nullptr : &found.value();
}

Layout layOut(const QString& text, qint64 startX)
{
    Layout layout;
    qint64 x = startX;
    for (const QChar character : text) {
        const Glyph* glyph = glyphFor(character.toUpper());
        if (!glyph)
            continue;
        layout.glyphs.append(PlacedGlyph{x, glyph});
        x += glyph->advance;
    }
    layout.endX = x;
    return layout;
}

QVector<Point> codeHoles(const PlacedGlyph& placed)
{
    QVector<Point> points;
    const QVector<quint8>& columns = placed.glyph->columns;
    for (int k = 0; k < columns.size(); ++k) {
        const qint64 x = placed.x + kColumnInset + qint64(kColumnPitch) * k;
        for (int hole = 1; hole <= 5; ++hole) {
            if (columns[k] & (1u << (hole - 1)))
                points.append(Point{x, holeRowY(hole)});
        }
    }
    return points;
}

qint64 feedHoleLimit(qint64 characterCount)
{
    return kFeedLengthPerCharacter * characterCount;
}

QVector<qint64> feedHoleXs(qint64 limit, qint64 fromX, qint64 toX)
{
    QVector<qint64> xs;
    const qint64 last = std::min(limit, toX);
    qint64 x = kFeedFirstX;
    if (fromX > x)
        x += (fromX - x + kFeedPitch - 1) / kFeedPitch * kFeedPitch;
    for (; x <= last; x += kFeedPitch)
        xs.append(x);
    return xs;
}

QVector<Point> tapePoints(const QString& text)
{
    QVector<Point> points;
    const qint64 limit = feedHoleLimit(text.size());
    for (const qint64 x : feedHoleXs(limit, 0, limit))
        points.append(Point{x, kFeedRowY});
    for (const PlacedGlyph& placed : layOut(text, 0).glyphs)
        points += codeHoles(placed);
    return points;
}

} // namespace tape
