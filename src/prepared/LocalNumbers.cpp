#include "prepared/LocalNumbers.h"

#include "core/TextFiles.h"
#include "core/VbText.h"

namespace localnumbers {

Entry entryFromLine(const QString& line)
{
    return {line.left(kNumberWidth), line.mid(kDescriptionStart)};
}

Entries entriesFromText(const QString& text)
{
    Entries entries;
    const QStringList lines = splitLines(text);
    for (int k = 0; k < kEntries && k < lines.size(); ++k)
        entries[k] = entryFromLine(lines[k]);
    return entries;
}

QString lineFor(const Entry& entry)
{
    return entry.number.leftJustified(kNumberWidth, ' ') + "   " + entry.description;
}

QString fileText(const Entries& entries)
{
    QString text;
    for (const Entry& entry : entries)
        text += lineFor(entry) + "\r\n";
    return text;
}

QString caption(const Entry& entry)
{
    return entry.number.leftJustified(kNumberWidth, ' ') + "     " + entry.description;
}

DialRequest dialRequestFor(const QString& caption)
{
    // Only figures count: a caption that begins with anything else (a blank,
    // a sign, a point) dials 0.
    qint64 number = 0;
    for (const QChar character : caption.left(2)) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            break;
        number = number * 10 + (character.unicode() - '0');
    }
    return {vbStr(number), caption + "    "};
}

} // namespace localnumbers
