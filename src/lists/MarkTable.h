#pragma once

#include "directory/PhonebookRecord.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

// The favourites window and the broadcast receiver window are one design:
// the whole directory in a list with a check box per subscriber, kept in
// one mark of the records. What differs is data, gathered in ListDesign.

// The mark a list window edits.
enum class ListMark {
    Favourite, // Check
    Receiver,  // RsGr2
};

// The columns of the list lvwStat.
enum MarkColumn {
    ColId, ColNumber, ColName, ColChkFav, ColRsGr1, ColChkGr1, ColRsGr3, ColRsGr4, ColRsGr5, ColChangeDate,
    MarkColumnCount
};

QStringList markColumnTitles();
// Column widths in twips.
int markColumnWidthTwips(int column);

struct ListDesign {
    ListMark mark;
    // The columns that show a row's check (1 or 0) once a check box has
    // changed; until then every column shows the record as read.
    QVector<int> markColumns;
    // Background of a checked row; unchecked rows are white.
    QColor highlight;
    // What a marked subscriber is called in the status line.
    QString markedNoun;

    static ListDesign favourites();
    static ListDesign receivers();
};

qint16 markOf(const PhonebookRecord& record, ListMark mark);
void setMark(PhonebookRecord& record, ListMark mark, qint16 value);

// A record as a list window saves it: ID = its position (0-based; held
// within 16 bits), the window's mark = the position's entry of the check
// state, every other field as read. A position the check state does not
// cover keeps its mark.
PhonebookRecord savedRecord(PhonebookRecord record, int position, ListMark mark,
                            const QVector<qint16>& checkState);

// The rows of a list window and their check boxes, without any widget.
// Rows are kept by record position (the slot in phonebook.txt, from 0), so
// sorting never moves a mark to another record.
class MarkTable {
public:
    explicit MarkTable(ListDesign design);

    // The records in file order; a row is checked when its mark is 1.
    void load(QVector<PhonebookRecord> records);

    int size() const { return int(m_records.size()); }
    const QVector<PhonebookRecord>& records() const { return m_records; }
    const ListDesign& design() const { return m_design; }

    bool isChecked(int position) const { return m_checked[position]; }
    // False when the row already was so.
    bool setChecked(int position, bool checked);
    int checkedCount() const { return m_checkedCount; }

    // Set by the first change of a check box after loading: from then on
    // the mark columns of every row show its check.
    bool marksFollowChecks() const { return m_marksFollowChecks; }
    // Some check differs from the mark the record was loaded with.
    bool hasUnsavedChanges() const;

    // The text of a column of a row, as the list shows it.
    QString text(int position, int column) const;

    // CheckState: 1 for a checked row, 0 for an unchecked one, by position.
    QVector<qint16> checkState() const;

    // The positions in list order when sorted by name: ascending as text,
    // case folded first, then exact; equal names in file order.
    QVector<int> nameOrder() const;

private:
    ListDesign m_design;
    QVector<PhonebookRecord> m_records;
    QVector<bool> m_checked;
    int m_checkedCount = 0;
    bool m_marksFollowChecks = false;
};
