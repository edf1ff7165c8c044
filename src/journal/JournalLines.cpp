#include "journal/JournalLines.h"

#include <algorithm>
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
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < kControlNames.size() || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    });
    if (plain)
        return text.toString();
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

void appendJournalLine(QByteArray& bytes, const QTime& time, Direction direction, QStringView text)
{
    // Written out by hand: this runs for every line of a fast line, and
    // appending a character at a time, or the formatters, would cost more
    // than all the rest of the receive path.
    const int hour = time.hour(), minute = time.minute(), second = time.second();
    const char prefix[] = {char('0' + hour / 10), char('0' + hour % 10), ':', char('0' + minute / 10),
                           char('0' + minute % 10), ':', char('0' + second / 10), char('0' + second % 10), ' ',
                           direction == Direction::Received ? 'R' : 'T', 'X', ' '};
    bytes.append(prefix, sizeof prefix);

    const auto isControl = [](char16_t code) { return code < kControlNames.size() || (code >= 0x7F && code <= 0x9F); };
    if (std::none_of(text.begin(), text.end(), [&](QChar c) { return isControl(c.unicode()); })) {
        const qsizetype start = bytes.size();
        bytes.resize(start + text.size() + 2);
        char* out = bytes.data() + start;
        for (const QChar c : text)
            *out++ = char(c.unicode() <= 0xFF ? c.unicode() : '?');
        out[0] = '\r';
        out[1] = '\n';
        return;
    }
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < kControlNames.size()) {
            bytes += '<';
            bytes += kControlNames[code];
            bytes += '>';
        } else if (isControl(code)) {
            bytes += '<';
            bytes += QByteArray::number(int(code), 16).toUpper();
            bytes += '>';
        } else {
            bytes += char(code <= 0xFF ? code : '?');
        }
    }
    bytes += "\r\n";
}

QString journalLine(const QTime& time, Direction direction, QStringView text)
{
    QByteArray bytes;
    appendJournalLine(bytes, time, direction, text);
    bytes.chop(2);
    return QString::fromLatin1(bytes);
}

QList<LineCollector::Line> LineCollector::add(QStringView text, const QDateTime& time)
{
    QList<Line> lines;
    add(text, time, [&lines](const QDateTime& started, QStringView line) { lines.append({started, line.toString()}); });
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
    m_pending = QString();
    return line;
}
