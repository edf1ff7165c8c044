#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include "archive/ArchiveStore.h"

// Finds messages of the archive by any text in them, as fast as a search
// field needs (a look through 20,000 messages takes milliseconds): every
// message's text is kept case-folded in memory. Until a message's text is
// there (the files are read in the background), its time and first line
// are searched.
class ArchiveSearch {
public:
    // The messages to search, in the order find() reports them.
    void setMessages(const QVector<ArchivedMessage>& messages);
    // A message with its text at `row` (0: before all others), and one taken out.
    void insertMessage(int row, const ArchivedMessage& message, const QString& text);
    void removeMessage(int row);
    // The text of message `row` (as setMessages gave it) is read.
    void setText(int row, const QString& text);
    int size() const { return int(m_entries.size()); }
    int textsKnown() const { return m_textsKnown; }

    // The rows whose text (or time and first line) holds every word of
    // `query`, whatever their case; every row for a query of no words.
    QVector<int> find(const QString& query) const;

    // How the list writes a message's start: "2026-08-24 14:03:22".
    static QString timeText(const QDateTime& start);
    // Text as the search compares it: case-folded, UTF-8.
    static QByteArray folded(const QString& text);

private:
    struct Entry {
        QByteArray header; // time and first line
        QByteArray text;   // empty until the text is known
        bool textKnown = false;
    };
    QVector<Entry> m_entries;
    int m_textsKnown = 0;
};
