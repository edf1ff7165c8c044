#pragma once

#include <QAbstractTableModel>
#include <QVector>

#include "archive/ArchiveSearch.h"
#include "archive/ArchiveStore.h"

// The rows of the archive window: the messages newest first (time, length,
// first line), only those the search finds. Cheap for any number of
// messages: the view asks for the rows it shows.
class ArchiveListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, LengthColumn, FirstLineColumn, ColumnCount };

    explicit ArchiveListModel(QObject* parent = nullptr);

    // All messages, newest first; the search starts afresh.
    void setMessages(const QVector<ArchivedMessage>& messages);
    // A message that ended while the window is open: on top (or in place of
    // the row of its file, which may have been listed while it was written).
    void addMessage(const ArchivedMessage& message, const QString& text);
    // Texts read in the background for messages[first...].
    void setTexts(int first, const QStringList& texts);

    // Shows the messages that hold every word of `query`.
    void setQuery(const QString& query);
    const QString& query() const { return m_query; }

    int total() const { return int(m_messages.size()); }
    int textsKnown() const { return m_search.textsKnown(); }
    const ArchivedMessage& messageAt(int row) const { return m_messages[m_shown[row]]; }
    const QVector<ArchivedMessage>& messages() const { return m_messages; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void refilter();

    QVector<ArchivedMessage> m_messages;
    QVector<int> m_shown;
    ArchiveSearch m_search;
    QString m_query;
};
