#include "archive/MessageCutter.h"

namespace {
const QString kLineEnd = QStringLiteral("\r\n");

bool isControl(QChar c)
{
    return c.unicode() < 32 || (c.unicode() >= 127 && c.unicode() < 160);
}
} // namespace

bool MessageCutter::hasVisible(QStringView text)
{
    for (const QChar c : text) {
        if (!isControl(c) && !c.isSpace())
            return true;
    }
    return false;
}

QString MessageCutter::plainLine(QStringView line)
{
    QString plain = line.toString();
    for (QChar& c : plain) {
        if (isControl(c))
            c = u' ';
    }
    return plain.simplified();
}

CutEvents MessageCutter::feed(const QString& shown, bool replacedLast, const Moment& now)
{
    CutEvents events = quietCheck(now);
    if (replacedLast) {
        if (m_open && !m_line.isEmpty())
            m_line.chop(1);
        else if (!m_open && !m_held.isEmpty())
            m_held.chop(1);
    }
    if (shown.isEmpty())
        return events;
    if (!m_open) {
        if (m_held.isEmpty())
            m_heldSince = now.wall;
        m_held += shown;
        m_last = now;
        if (!hasVisible(shown))
            return events;
        m_open = true;
        m_firstLineKnown = false;
        events.append({CutEvent::Kind::Started, m_heldSince, {}});
        m_line = std::exchange(m_held, QString());
    } else {
        m_line += shown;
        m_last = now;
    }
    takeLines(events);
    return events;
}

void MessageCutter::takeLines(CutEvents& events)
{
    const qsizetype end = m_line.lastIndexOf(kLineEnd);
    if (end < 0)
        return;
    const qsizetype length = end + kLineEnd.size();
    const QString lines = m_line.left(length);
    m_line.remove(0, length);
    noteFirstLine(events, lines);
    events.append({CutEvent::Kind::Text, {}, lines});
}

void MessageCutter::noteFirstLine(CutEvents& events, QStringView text)
{
    if (m_firstLineKnown || !hasVisible(text))
        return;
    for (QStringView line : text.split(kLineEnd)) {
        if (hasVisible(line)) {
            m_firstLineKnown = true;
            events.append({CutEvent::Kind::FirstLine, {}, plainLine(line)});
            return;
        }
    }
}

CutEvents MessageCutter::quietCheck(const Moment& now)
{
    if ((m_open || !m_held.isEmpty()) && now.steadyMs - m_last.steadyMs >= m_quietMs)
        return end();
    return {};
}

CutEvents MessageCutter::cut()
{
    return end();
}

CutEvents MessageCutter::end()
{
    m_held.clear();
    if (!m_open)
        return {};
    CutEvents events;
    if (!m_line.isEmpty()) {
        noteFirstLine(events, m_line);
        events.append({CutEvent::Kind::Text, {}, std::exchange(m_line, QString())});
    }
    events.append({CutEvent::Kind::Ended, m_last.wall, {}});
    m_open = false;
    return events;
}

qint64 MessageCutter::msUntilQuiet(const Moment& now) const
{
    if (!m_open && m_held.isEmpty())
        return -1;
    return std::max<qint64>(0, m_quietMs - (now.steadyMs - m_last.steadyMs));
}
