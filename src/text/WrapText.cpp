#include "text/WrapText.h"

namespace {

constexpr int kStepsBetweenQuestions = 1 << 14;
const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

QString WrapText(const QString& text, int width)
{
    return *wrapText(text, width, {});
}

std::optional<QString> wrapText(const QString& text, int width, const std::function<bool()>& keepGoing)
{
    // The room of a line: its characters and the blank that follows them.
    const qsizetype room = qsizetype(width) + 1;

    // The text still to place is text[pos, end): leading and trailing blanks
    // (only U+0020) are dropped once at the start.
    qsizetype pos = 0;
    qsizetype end = text.size();
    while (pos < end && text[pos] == u' ')
        ++pos;
    while (end > pos && text[end - 1] == u' ')
        --end;

    QString result;
    result.reserve(text.size() + text.size() / 32 + 2);
    QString pending; // the words gathered for the current line

    // Positions of the next carriage return and the next blank at or after
    // pos (-1: none). Kept between rounds so long texts are scanned once.
    qsizetype nextReturn = -2;
    qsizetype nextBlank = -2;
    int steps = 0;

    for (;;) {
        if (keepGoing && ++steps % kStepsBetweenQuestions == 0 && !keepGoing())
            return std::nullopt;
        if (nextReturn != -1 && nextReturn < pos) {
            nextReturn = text.indexOf(u'\r', pos);
            if (nextReturn >= end)
                nextReturn = -1;
        }
        if (nextBlank != -1 && nextBlank < pos) {
            nextBlank = text.indexOf(u' ', pos);
            if (nextBlank >= end)
                nextBlank = -1; // the trailing blanks are not part of the text
        }
        // 1-based lengths up to and including the carriage return / blank.
        const qsizetype toReturn = nextReturn >= 0 ? nextReturn - pos + 1 : 0;
        const qsizetype toBlank = nextBlank >= 0 ? nextBlank - pos + 1 : 0;
        const qsizetype used = pending.size();

        if (toReturn > 0 && used + toReturn <= room) {
            // The line ends at the carriage return, which it keeps.
            result += pending;
            result += QStringView(text).mid(pos, toReturn);
            pending.clear();
            pos += toReturn;
            continue;
        }
        if (toBlank == 0)
            break;
        if (used + toBlank <= room) {
            // One more word (with its blank) fits on the line.
            pending += QStringView(text).mid(pos, toBlank);
            pos += toBlank;
            continue;
        }
        if (toBlank <= room || !pending.isEmpty()) {
            // The line is full: end it and try the word again on a new line.
            result += pending;
            result += kLineEnd;
            pending.clear();
            continue;
        }
        // A word longer than a line, on an empty line: its first `room`
        // characters make a line of their own; the rest starts the next one.
        result += QStringView(text).mid(pos, room);
        result += kLineEnd;
        pos += room;
    }

    const QStringView rest = QStringView(text).mid(pos, end - pos);
    if (pending.isEmpty()) {
        result += rest;
        result += kLineEnd;
    } else if (rest.size() + pending.size() > room) {
        result += pending;
        result += kLineEnd;
        result += rest;
        result += kLineEnd;
    } else {
        result += pending;
        result += rest;
        result += kLineEnd;
    }
    return result;
}
