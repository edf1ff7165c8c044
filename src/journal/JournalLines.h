#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// How the traffic journal writes what went over the line: one file a day,
// one line of the file for each line of traffic, each behind the local time
// and a mark for its direction. Plain functions, no files.

enum class Direction { Received, Sent };

// The file of a day: "2026-08-24.txt".
QString journalFileName(const QDate& day);

// The mark of a direction: "RX" for what came from the box, "TX" for what
// was sent to it (the names of the window's two lamps).
QString directionMark(Direction direction);

// The text of a line with every control character written as its name in
// angle brackets ("<SOH>", "<BEL>", "<ESC>M"); the characters 127 to 159 as
// their code in hex ("<7F>", "<9B>"). Other characters stay as they are.
QString readableText(QStringView text);

// One line of the file, without its line end: "14:03:22 RX 12345 demo d".
QString journalLine(const QTime& time, Direction direction, QStringView text);
// The same line and a CR LF, appended to the file's bytes (Latin-1: every
// character of the line is one byte on the line, or a name in ASCII).
void appendJournalLine(QByteArray& bytes, const QTime& time, Direction direction, QStringView text);

// Collects the traffic of one direction into lines. A carriage return or a
// line feed ends a line; a line feed right behind a carriage return belongs
// to the same line end. A line end with nothing before it makes no line.
// Each line keeps the time its first character went over the line.
class LineCollector {
public:
    struct Line {
        QDateTime started;
        QString text;
    };

    // Adds text that went over the line at `time`; returns the lines it
    // completed, in order.
    QList<Line> add(QStringView text, const QDateTime& time);
    // The same, handing each completed line to `take(started, text)` as it
    // ends (the text is valid during the call only).
    template <typename Take>
    void add(QStringView text, const QDateTime& time, Take&& take);
    // The window's last character was replaced by new text: when it is
    // still part of the line in progress, it goes from there too.
    void dropLastCharacter();
    // The line in progress, taken away; nothing when there is none.
    std::optional<Line> takePending();
    bool hasPending() const { return !m_pending.isEmpty(); }

private:
    QString m_pending;
    QDateTime m_started;
    bool m_afterCarriageReturn = false;
};

template <typename Take>
void LineCollector::add(QStringView text, const QDateTime& time, Take&& take)
{
    qsizetype at = 0;
    while (at < text.size()) {
        // The run of characters up to the next line end goes in at once.
        qsizetype end = at;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end > at) {
            if (m_pending.isEmpty())
                m_started = time;
            m_pending += text.sliced(at, end - at);
            m_afterCarriageReturn = false;
        }
        if (end == text.size())
            break;
        const QChar lineEnd = text[end];
        const bool lineFeedOfPair = lineEnd == u'\n' && m_afterCarriageReturn;
        m_afterCarriageReturn = lineEnd == u'\r';
        if (!lineFeedOfPair && !m_pending.isEmpty()) {
            take(m_started, QStringView(m_pending));
            m_pending.resize(0); // keeps its room for the next line
        }
        at = end + 1;
    }
}
