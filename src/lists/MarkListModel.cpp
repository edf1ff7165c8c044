#include "lists/MarkListModel.h"

#include <numeric>

MarkListModel::MarkListModel(ListDesign design, QObject* parent)
    : QAbstractTableModel(parent), m_table(std::move(design))
{
}

void MarkListModel::load(QVector<PhonebookRecord> records)
{
    beginResetModel();
    m_table.load(std::move(records));
    QVector<int> order(m_table.size());
    std::iota(order.begin(), order.end(), 0);
    setOrder(std::move(order));
    endResetModel();
}

void MarkListModel::sortByName()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> positions;
    positions.reserve(before.size());
    for (const QModelIndex& index : before)
        positions << m_order[index.row()];
    setOrder(m_table.nameOrder());
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after << index(m_rowOf[positions[i]], before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void MarkListModel::setOrder(QVector<int> order)
{
    m_order = std::move(order);
    m_rowOf.resize(m_order.size());
    for (int row = 0; row < m_order.size(); ++row)
        m_rowOf[m_order[row]] = row;
}

int MarkListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.size();
}

int MarkListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : MarkColumnCount;
}

QVariant MarkListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int position = m_order[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return m_table.text(position, index.column());
    case Qt::CheckStateRole:
        if (index.column() == ColId)
            return m_table.isChecked(position) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::BackgroundRole:
        return m_table.isChecked(position) ? m_table.design().highlight : QColor(Qt::white);
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return {};
    }
}

bool MarkListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != ColId)
        return false;
    const int position = m_order[index.row()];
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    const bool firstChange = !m_table.marksFollowChecks();
    m_table.setChecked(position, checked);
    if (firstChange) {
        // From now on every row's mark columns show its check.
        emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, MarkColumnCount - 1));
    } else {
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), MarkColumnCount - 1));
    }
    emit checkChanged(position, checked);
    return true;
}

QVariant MarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return markColumnTitles().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags MarkListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == ColId)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}
