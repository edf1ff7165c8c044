#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <Qt>

class QTextDocument;

// A small reader for the rich text of the help document. It keeps what a
// help text needs: paragraphs with their alignment, indents and spacing,
// bold, italic, underline, font sizes, tabs and line breaks, and the characters written as \'hh
// (Windows code page 1252) or \uN. Font, colour and style tables, document
// information, pictures, headers, footers, fields' instructions and every
// group marked \* are skipped.
//
// It never fails: malformed, truncated or deeply nested input gives what
// could be read up to the fault. Text that is not rich text at all is taken
// as plain text, one paragraph per line.
//
// What it reads is bounded, so that any file opens at once: a document with
// more characters, paragraphs or changes of look than the limits below is
// cut there.
namespace rtf {

// Far more than a help text holds; each costs the window time and memory
// when it lays the document out.
constexpr qsizetype kMaxCharacters = 50'000;
constexpr qsizetype kMaxParagraphs = 5'000;
// Runs of text with a look of their own.
constexpr qsizetype kMaxRuns = 10'000;

struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    // Font size in half points, as rich text writes it (24 = 12 pt).
    int halfPoints = 24;

    bool sameLookAs(const Run& other) const
    {
        return bold == other.bold && italic == other.italic && underline == other.underline
               && halfPoints == other.halfPoints;
    }
};

// Indents and spacing, in twips (1/1440 inch) as rich text writes them.
struct ParagraphLayout {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    // Of the first line against the others; negative for a hanging bullet.
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
};

struct Paragraph {
    QList<Run> runs;
    ParagraphLayout layout;

    QString text() const;
};

struct Document {
    QList<Paragraph> paragraphs;
    // The input went on beyond one of the limits: the paragraphs are its
    // beginning.
    bool cut = false;

    // The paragraphs' texts joined with "\n" (for checks and for search).
    QString plainText() const;
};

Document parse(const QByteArray& bytes);

// The character of a byte in Windows code page 1252.
QChar fromCp1252(unsigned char byte);

// Puts a document into a text document: one block per paragraph, the runs
// with their look. Sizes are kept between 6 and 48 points; a hanging first
// line gets a tab stop at the indent, so "bullet, tab, text" lines up.
//
// Text whose layout would cost time growing with the square of its length is
// shown a little changed: a word longer than kLongWord characters gets an
// invisible place to break a line (a zero-width space) after every kLongWord
// characters, and a character shows at most kMaxMarks combining marks (a
// mark on nothing that can carry it, such as a blank or a control, is left
// out).
constexpr int kLongWord = 80;
constexpr int kMaxMarks = 8;
void fill(QTextDocument& target, const Document& document);

} // namespace rtf
