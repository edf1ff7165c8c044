#include "archive/ArchiveSearch.h"

#include <cstring>

QString ArchiveSearch::timeText(const QDateTime& start)
{
    return start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QByteArray ArchiveSearch::folded(const QString& text)
{
    return text.toCaseFolded().toUtf8();
}

void ArchiveSearch::setMessages(const QVector<ArchivedMessage>& messages)
{
    m_entries.clear();
    m_entries.reserve(messages.size());
    m_textsKnown = 0;
    for (const ArchivedMessage& message : messages)
        m_entries.append({folded(timeText(message.start) + "\n" + message.firstLine), {}, false});
}

void ArchiveSearch::insertMessage(int row, const ArchivedMessage& message, const QString& text)
{
    m_entries.insert(row, {folded(timeText(message.start) + "\n" + message.firstLine), {}, false});
    setText(row, text);
}

void ArchiveSearch::removeMessage(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    if (m_entries[row].textKnown)
        --m_textsKnown;
    m_entries.remove(row);
}

void ArchiveSearch::setText(int row, const QString& text)
{
    if (row < 0 || row >= m_entries.size())
        return;
    Entry& entry = m_entries[row];
    if (!entry.textKnown)
        ++m_textsKnown;
    entry.textKnown = true;
    // The time stays searchable beside the text.
    entry.text = entry.header.left(entry.header.indexOf('\n') + 1) + folded(text);
}

QVector<int> ArchiveSearch::find(const QString& query) const
{
    QList<QByteArray> words;
    for (const QString& word : query.simplified().split(u' ', Qt::SkipEmptyParts))
        words.append(folded(word));
    QVector<int> rows;
    rows.reserve(m_entries.size());
    for (int row = 0; row < m_entries.size(); ++row) {
        const Entry& entry = m_entries[row];
        const QByteArray& haystack = entry.textKnown ? entry.text : entry.header;
        bool all = true;
        for (const QByteArray& word : std::as_const(words)) {
            if (!::memmem(haystack.constData(), size_t(haystack.size()), word.constData(), size_t(word.size()))) {
                all = false;
                break;
            }
        }
        if (all)
            rows.append(row);
    }
    return rows;
}
