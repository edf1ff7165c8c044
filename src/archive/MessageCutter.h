#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// A point in time as the archive needs it: the local time (for file names
// and the index) and a steady count of milliseconds that no clock change
// moves (for measuring quiet time; a small board computer may set its clock
// from the network an hour after it started).
struct Moment {
    QDateTime wall;
    qint64 steadyMs = 0;
};

// What the cutter decided, in order.
struct CutEvent {
    enum class Kind {
        Started,   // a message began at `time`
        Text,      // `text` belongs to the message: complete lines, or at the end the unfinished last line
        FirstLine, // `text` is the message's first line with something visible in it
        Ended,     // the message ended; `time` is when its last text arrived
    };
    Kind kind;
    QDateTime time;
    QString text;
};
using CutEvents = QList<CutEvent>;

// Cuts the text received from the line into messages, with no files and no
// timers: it is fed the text as the terminal window shows it (line ends
// CR LF) and the time, and says where messages start and end.
//
// A message starts with the first received text after the line was quiet
// and ends when the line has been quiet for the quiet time, or when it is
// cut (the user calls or closes, the port closes, the program ends). Text
// with nothing visible in it (line ends, blanks, control characters) does
// not start a message by itself: it is held, and it opens the message
// together with the visible text that follows within the quiet time, so
// the message holds everything shown from its start; held text that no
// visible text follows is dropped.
//
// Text is handed on in complete lines, so that a file gets whole lines; the
// unfinished last line goes with the end of the message. A backspace that
// took the window's last character takes it from the unfinished line too;
// a line already handed on stays as it was.
class MessageCutter {
public:
    static constexpr qint64 kDefaultQuietMs = 30'000;

    explicit MessageCutter(qint64 quietMs = kDefaultQuietMs) : m_quietMs(quietMs) {}

    qint64 quietMs() const { return m_quietMs; }
    void setQuietMs(qint64 quietMs) { m_quietMs = quietMs; }

    // Text shown at `now`; with `replacedLast` it took the place of the
    // window's last character. A message the line's quiet has already
    // ended is ended first.
    CutEvents feed(const QString& shown, bool replacedLast, const Moment& now);
    // Ends the message once the line has been quiet for the quiet time.
    CutEvents quietCheck(const Moment& now);
    // Ends the message now, however short the quiet.
    CutEvents cut();

    bool inMessage() const { return m_open; }
    // Milliseconds from `now` until quietCheck would end the message (or
    // drop the held text); -1 when there is nothing to wait for.
    qint64 msUntilQuiet(const Moment& now) const;

    // Whether a text has something a reader sees: a character that is not a
    // blank, a line end or another control character.
    static bool hasVisible(QStringView text);
    // A line as the index and the list show it: control characters become
    // blanks, runs of blanks one blank, none at the ends.
    static QString plainLine(QStringView line);

private:
    void takeLines(CutEvents& events);
    void noteFirstLine(CutEvents& events, QStringView text);
    CutEvents end();

    qint64 m_quietMs;
    bool m_open = false;
    bool m_firstLineKnown = false;
    QString m_held;     // text with nothing visible, before a message
    QDateTime m_heldSince;
    QString m_line;     // the message's unfinished line (and lines not yet handed on)
    Moment m_last;      // when the last text arrived
};
