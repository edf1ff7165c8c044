#include "archive/ArchiveListModel.h"

#include <QLocale>

ArchiveListModel::ArchiveListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ArchiveListModel::setMessages(const QVector<ArchivedMessage>& messages)
{
    beginResetModel();
    m_messages = messages;
    m_search.setMessages(m_messages);
    m_shown = m_search.find(m_query);
    endResetModel();
}

void ArchiveListModel::addMessage(const ArchivedMessage& message, const QString& text)
{
    for (int i = int(m_messages.size()) - 1; i >= 0; --i) {
        if (m_messages[i].file == message.file) {
            m_messages.remove(i);
            m_search.removeMessage(i);
        }
    }
    m_messages.prepend(message);
    m_search.insertMessage(0, message, text);
    beginResetModel();
    m_shown = m_search.find(m_query);
    endResetModel();
}

void ArchiveListModel::setTexts(int first, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        m_search.setText(first + i, texts[i]);
    if (!m_query.trimmed().isEmpty())
        refilter();
}

void ArchiveListModel::setQuery(const QString& query)
{
    m_query = query;
    refilter();
}

void ArchiveListModel::refilter()
{
    const QVector<int> shown = m_search.find(m_query);
    if (shown == m_shown)
        return;
    beginResetModel();
    m_shown = shown;
    endResetModel();
}

int ArchiveListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ArchiveListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ArchiveListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const ArchivedMessage& message = messageAt(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case TimeColumn: return ArchiveSearch::timeText(message.start);
        case LengthColumn: return QLocale().toString(message.bytes);
        case FirstLineColumn: return message.firstLine;
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == LengthColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ArchiveListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn: return QStringLiteral("Time");
    case LengthColumn: return QStringLiteral("Characters");
    case FirstLineColumn: return QStringLiteral("First line");
    default: return {};
    }
}
