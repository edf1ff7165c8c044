#pragma once

#include "lists/MarkTable.h"

#include <QAbstractTableModel>

// The list lvwStat of the favourites and broadcast windows as a model over
// a MarkTable: one row per record, the check box in the first column, the
// row's background light when checked. The model keeps the list order
// separately from the records, so a row is always its record.
class MarkListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MarkListModel(ListDesign design, QObject* parent = nullptr);

    void load(QVector<PhonebookRecord> records);
    void sortByName();

    const MarkTable& table() const { return m_table; }
    // The record position shown in a row, and the row of a position.
    int positionAt(int row) const { return m_order[row]; }
    int rowOf(int position) const { return m_rowOf[position]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A check box was changed by the user (or set through setData).
    void checkChanged(int position, bool checked);

private:
    void setOrder(QVector<int> order);

    MarkTable m_table;
    QVector<int> m_order;
    QVector<int> m_rowOf;
};
