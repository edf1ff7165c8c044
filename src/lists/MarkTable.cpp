#include "lists/MarkTable.h"

#include <algorithm>
#include <numeric>

QStringList markColumnTitles()
{
    return {"ID", "Number", "Name", "Chk Fav", "RsGr1", "Chk Gr1", "RsGr3", "RsGr4", "RsGr5", "Change Date"};
}

int markColumnWidthTwips(int column)
{
    static constexpr int kWidths[MarkColumnCount] = {600, 1000, 3100, 800, 800, 800, 800, 800, 800, 1200};
    return column >= 0 && column < MarkColumnCount ? kWidths[column] : 0;
}

ListDesign ListDesign::favourites()
{
    return {ListMark::Favourite, {ColChkFav}, QColor(192, 255, 192), QStringLiteral("favourites")};
}

ListDesign ListDesign::receivers()
{
    return {ListMark::Receiver, {ColRsGr1, ColChkGr1}, QColor(255, 207, 128), QStringLiteral("receivers")};
}

qint16 markOf(const PhonebookRecord& record, ListMark mark)
{
    return mark == ListMark::Favourite ? record.Check : record.RsGr2;
}

void setMark(PhonebookRecord& record, ListMark mark, qint16 value)
{
    (mark == ListMark::Favourite ? record.Check : record.RsGr2) = value;
}

PhonebookRecord savedRecord(PhonebookRecord record, int position, ListMark mark, const QVector<qint16>& checkState)
{
    record.ID = qint16(std::clamp(position, -32768, 32767));
    if (position >= 0 && position < checkState.size())
        setMark(record, mark, checkState[position]);
    return record;
}

MarkTable::MarkTable(ListDesign design) : m_design(std::move(design)) {}

void MarkTable::load(QVector<PhonebookRecord> records)
{
    m_records = std::move(records);
    m_checked.resize(m_records.size());
    m_checkedCount = 0;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        m_checked[i] = markOf(m_records[i], m_design.mark) == 1;
        m_checkedCount += m_checked[i] ? 1 : 0;
    }
    m_marksFollowChecks = false;
}

bool MarkTable::setChecked(int position, bool checked)
{
    m_marksFollowChecks = true;
    if (m_checked[position] == checked)
        return false;
    m_checked[position] = checked;
    m_checkedCount += checked ? 1 : -1;
    return true;
}

bool MarkTable::hasUnsavedChanges() const
{
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        if (m_checked[i] != (markOf(m_records[i], m_design.mark) == 1))
            return true;
    }
    return false;
}

QString MarkTable::text(int position, int column) const
{
    const PhonebookRecord& record = m_records[position];
    if (m_marksFollowChecks && m_design.markColumns.contains(column))
        return m_checked[position] ? QStringLiteral("1") : QStringLiteral("0");
    switch (column) {
    case ColId: return QString::number(record.ID);
    case ColNumber: return record.Number;
    case ColName: return record.Name;
    case ColChkFav: return QString::number(record.Check);
    case ColRsGr1: return QString::number(record.RsGr1);
    case ColChkGr1: return QString::number(record.RsGr2);
    case ColRsGr3: return QString::number(record.RsGr3);
    case ColRsGr4: return QString::number(record.RsGr4);
    case ColRsGr5: return QString::number(record.SubsNr);
    case ColChangeDate: return record.ChangeDate;
    default: return QString();
    }
}

QVector<qint16> MarkTable::checkState() const
{
    QVector<qint16> state(m_checked.size());
    for (qsizetype i = 0; i < m_checked.size(); ++i)
        state[i] = m_checked[i] ? 1 : 0;
    return state;
}

QVector<int> MarkTable::nameOrder() const
{
    // Folding every name once keeps the sort of a large directory quick.
    QVector<QString> folded(m_records.size());
    for (qsizetype i = 0; i < m_records.size(); ++i)
        folded[i] = m_records[i].Name.toCaseFolded();
    QVector<int> order(m_records.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int byFolded = folded[a].compare(folded[b]);
        if (byFolded != 0)
            return byFolded < 0;
        return m_records[a].Name.compare(m_records[b].Name) < 0;
    });
    return order;
}
