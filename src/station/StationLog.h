#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QTextStream;

// The station's log: one line per event on standard output. The system
// journal takes a leading "<N>" as the line's priority (as syslog numbers
// them) and adds its own time; on a terminal the time of day stands there
// instead.
class StationLog {
public:
    enum Priority { Error = 3, Warning = 4, Notice = 5, Info = 6 };

    StationLog(QTextStream& out, bool onTerminal, std::function<QDateTime()> now);
    // Writes `text` as one line (line breaks in it become blanks).
    void write(Priority priority, const QString& text);

private:
    QTextStream& m_out;
    bool m_onTerminal;
    std::function<QDateTime()> m_now;
};
