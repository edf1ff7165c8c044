#pragma once

#include "directory/PhonebookRecord.h"

#include <QSet>
#include <QString>
#include <QVector>

// The favourite and broadcast marks of the old phonebook, kept while a new
// directory is downloaded so every subscriber whose number is unchanged
// keeps them. FavNumbers and RSendNumbers hold, by the record's position in
// the old file, the number of each marked record ("" where not marked);
// they grow with the file, so no mark is dropped however long it is.
class MergeTables {
public:
    QVector<QString> FavNumbers;
    QVector<QString> RSendNumbers;

    void clear();
    // Takes the marks of the old records: Check 1 makes a favourite,
    // RsGr2 1 a broadcast receiver (no other value counts).
    void load(const QVector<PhonebookRecord>& records);

    // Whether a downloaded number (surrounding spaces ignored) was marked.
    bool isFavourite(const QString& number) const { return m_favourites.contains(trimSpaces(number)); }
    bool isReceiver(const QString& number) const { return m_receivers.contains(trimSpaces(number)); }

    // Spaces (only spaces) removed at both ends.
    static QString trimSpaces(const QString& text);

private:
    QSet<QString> m_favourites;
    QSet<QString> m_receivers;
};
