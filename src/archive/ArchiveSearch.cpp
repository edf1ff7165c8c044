#include "archive/ArchiveSearch.h"

#include <cstring>

QString ArchiveSearch::timeText(const QDateTime& start)
{
    // Put together by hand: the list and the search write it for every
    // message of the archive, and the general formatter is slow.
    const QDate date = start.date();
    const QTime time = start.time();
    const auto two = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
    return QString::number(date.year()).rightJustified(4, u'0') + u'-' + two(date.month()) + u'-' + two(date.day())
           + u' ' + two(time.hour()) + u':' + two(time.minute()) + u':' + two(time.second());
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
