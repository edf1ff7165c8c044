#pragma once

#include <QChar>
#include <QString>
#include <QVector>

// The tape picture's geometry, without widgets: which holes each drawable
// character shows and where every hole of a text lies on the picture.
//
// Positions along the tape are 64-bit, so a long text never wraps round;
// across the tape a position is one of six rows.

namespace tape {

// Rows across the tape, in picture pixels from the top edge: code holes 1 and
// 2, the feed-hole track, code holes 3, 4 and 5.
constexpr int kFeedRowY = 25;
int holeRowY(int hole);
// The height of the tape strip, its margins included.
constexpr int kTapeHeight = 60;

// A glyph's columns are this far apart, the first one this far in from the
// glyph's start.
constexpr int kColumnPitch = 8;
constexpr int kColumnInset = 5;

// Feed holes: the first at x = 1, then every 10 pixels, as far as 40 pixels
// per character of the text.
constexpr int kFeedFirstX = 1;
constexpr int kFeedPitch = 10;
constexpr int kFeedLengthPerCharacter = 40;

// Drawing widths: feed holes are small points, code holes large ones.
constexpr int kFeedHoleWidth = 3;
constexpr int kCodeHoleWidth = 7;

// One drawable character: the holes of each column, left to right (bit h-1
// set = hole h punched), and the pixels to the next glyph's start.
struct Glyph {
    QChar character;
    QVector<quint8> columns;
    int advance = 0;
};

// The glyph of an upper-case character, or nothing when it is not drawn.
const Glyph* glyphFor(QChar upper);

// A glyph placed on the tape: its start position.
struct PlacedGlyph {
    qint64 x = 0;
    const Glyph* glyph = nullptr;
};

// The text laid out from startX on: each drawable character (upper-cased)
// where it starts, in order, and the position after the last advance.
struct Layout {
    QVector<PlacedGlyph> glyphs;
    qint64 endX = 0;
};
Layout layOut(const QString& text, qint64 startX);

// One hole on the picture.
struct Point {
    qint64 x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Every code hole of a placed glyph, column by column, top to bottom.
QVector<Point> codeHoles(const PlacedGlyph& placed);
// The feed-hole positions along the tape for a text of that many
// characters: 1, 11, 21, ... up to 40 per character, inclusive.
qint64 feedHoleLimit(qint64 characterCount);
// The feed holes from `fromX` to `toX` inclusive, not beyond the limit.
QVector<qint64> feedHoleXs(qint64 limit, qint64 fromX, qint64 toX);

// Every point of a text as the tape picture draws it: the feed holes for
// its length and the code holes of its glyphs from position 0 on.
QVector<Point> tapePoints(const QString& text);

} // namespace tape
