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
    return {vbStr(leadingNumber(caption.left(2))), caption + "    "};
}

} // namespace localnumbers
