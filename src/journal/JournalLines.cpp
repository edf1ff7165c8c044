#include "journal/JournalLines.h"

#include <array>

namespace {

constexpr std::array<const char*, 32> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

} // namespace

QString journalFileName(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QString directionMark(Direction direction)
{
    return direction == Direction::Received ? QStringLiteral("RX") : QStringLiteral("TX");
}

QString readableText(QStringView text)
{
    QString readable;
    readable.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < kControlNames.size())
            readable += QLatin1Char('<') + QLatin1String(kControlNames[code]) + QLatin1Char('>');
        else if (code >= 0x7F && code <= 0x9F)
            readable += QStringLiteral("<%1>").arg(int(code), 2, 16, QLatin1Char('0')).toUpper();
        else
            readable += c;
    }
    return readable;
}

QString journalLine(const QTime& time, Direction direction, QStringView text)
{
    return time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + directionMark(direction)
           + QLatin1Char(' ') + readableText(text);
}

QList<LineCollector::Line> LineCollector::add(QStringView text, const QDateTime& time)
{
    QList<Line> lines;
    for (const QChar c : text) {
        const bool lineFeedOfPair = c == u'\n' && m_afterCarriageReturn;
        m_afterCarriageReturn = c == u'\r';
        if (lineFeedOfPair)
            continue;
        if (c == u'\r' || c == u'\n') {
            if (std::optional<Line> line = takePending())
                lines.append(*std::move(line));
            continue;
        }
        if (m_pending.isEmpty())
            m_started = time;
        m_pending += c;
    }
    return lines;
}

void LineCollector::dropLastCharacter()
{
    if (!m_pending.isEmpty())
        m_pending.chop(1);
}

std::optional<LineCollector::Line> LineCollector::takePending()
{
    if (m_pending.isEmpty())
        return std::nullopt;
    Line line{m_started, m_pending};
    m_pending.clear();
    return line;
}
