#include "lists/HeaderTable.h"

#include "core/VbText.h"

namespace header {

namespace {

// Where each entry of a line goes, in 1-based columns.
struct EntryColumns {
    int firstFree;  // the first column a long counter may take
    int counterEnd; // last column of a two-digit counter
    int numberEnd;  // last column of the number
    int nameStart;
    int lastColumn; // the name ends here at the latest
};

constexpr EntryColumns kEntries[kEntriesPerLine] = {
    {1, 2, 10, 12, 21},
    {23, 25, 32, 34, 43},
    {45, 48, 56, 58, 67},
};

void put(QString& line, int column, const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const int at = column - 1 + i;
        if (at >= 0 && at < line.size())
            line[at] = text[i];
    }
}


} // namespace

QString tableName(const QString& nameField)
{
    const qsizetype comma = nameField.indexOf(QLatin1Char(','));
    const QString name = comma >= 0 ? nameField.left(comma) : nameField.left(11);
    return name.left(kNamePlaced);
}

QString counterText(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

void placeEntry(QString& line, int entry, int counter, const QString& number, const QString& name)
{
    const EntryColumns& at = kEntries[entry];
    const QString count = counterText(counter);
    const int counterStart = std::max(at.firstFree, at.counterEnd - int(count.size()) + 1);
    const int counterEnd = counterStart + int(count.size()) - 1;
    put(line, counterStart, count);

    // A two-digit counter keeps the fixed columns (a long number may touch
    // it); a longer counter always keeps a blank before the number.
    const int gap = count.size() > 2 ? 2 : 1;
    const int numberStart = std::max(at.numberEnd - int(number.size()) + 1, counterEnd + gap);
    const int numberEnd = numberStart + int(number.size()) - 1;
    put(line, numberStart, number.left(at.lastColumn - numberStart + 1));

    const int nameStart = std::max(at.nameStart, numberEnd + 2);
    put(line, nameStart, name.left(std::max(0, at.lastColumn - nameStart + 1)));
}

QStringList tableLines(const QVector<PhonebookRecord>& records)
{
    QStringList lines;
    QString line;
    int counter = 0;
    for (const PhonebookRecord& record : records) {
        if (record.RsGr2 != 1)
            continue;
        const int entry = counter % kEntriesPerLine;
        if (entry == 0)
            line = QString(kLineWidth, QLatin1Char(' '));
        ++counter;
        placeEntry(line, entry, counter, record.Number.trimmed(), tableName(record.Name));
        if (entry == kEntriesPerLine - 1)
            lines << line;
    }
    if (counter % kEntriesPerLine != 0)
        lines << line;
    return lines;
}

QString ruler()
{
    return QStringLiteral("1234567890").repeated(7);
}

QStringList previewLines(const QString& stationId, const QStringList& tableLines)
{
    QStringList lines = {" --- Rundsenden von: " + stationId, QStringLiteral(" --- in alphabetische reihenfolge an:"),
                         QStringLiteral(" "), ruler(), QStringLiteral(" ")};
    lines += tableLines;
    lines << QStringLiteral(" ") << QStringLiteral(" ----- Ende Rundsenden Teilnehmerliste ----- ")
          << QStringLiteral(" ");
    return lines;
}

QString fileText(const QStringList& tableLines)
{
    QString text;
    for (const QString& line : tableLines)
        text += withoutTrailingBlanks(line) + QStringLiteral("\r\n");
    return text + QStringLiteral(" \r\n");
}

} // namespace header
