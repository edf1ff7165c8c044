#include "directory/MergeTables.h"

void MergeTables::clear()
{
    FavNumbers.clear();
    RSendNumbers.clear();
    m_favourites.clear();
    m_receivers.clear();
}

void MergeTables::load(const QVector<PhonebookRecord>& records)
{
    clear();
    FavNumbers.resize(records.size());
    RSendNumbers.resize(records.size());
    for (qsizetype p = 0; p < records.size(); ++p) {
        const PhonebookRecord& record = records[p];
        if (record.Check == 1) {
            FavNumbers[p] = record.Number;
            m_favourites.insert(trimSpaces(record.Number));
        }
        if (record.RsGr2 == 1) {
            RSendNumbers[p] = record.Number;
            m_receivers.insert(trimSpaces(record.Number));
        }
    }
}

QString MergeTables::trimSpaces(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}
