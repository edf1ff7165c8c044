#pragma once

#include "directory/PhonebookRecord.h"

#include <QString>
#include <QVector>
#include <functional>

class ProgramFolder;

// What a read of phonebook.txt found.
struct PhonebookContents {
    // Every complete 124-byte slot, in file order.
    QVector<PhonebookRecord> records;
    // Bytes behind the last complete slot (a file cut short); not a record.
    qint64 strayBytes = 0;
    // Set when the file exists but cannot be read. A missing file is simply
    // an empty directory.
    QString error;
};

// Reads all complete slots of the file.
PhonebookContents readPhonebook(const QString& path);

// The three files the directory consists of.
struct DirectoryFiles {
    QString phonebook; // phonebook.txt
    QString csv;       // phonebook.csv
    QString backup;    // phonebook-backup.txt

    static DirectoryFiles in(const ProgramFolder& folder);
};

// Rewrites every record in place, the way the list windows save their marks:
// record n is read, handed to `change` with its index (0-based) and written
// back to slot n. Only the record's own bytes change: the padding of each
// slot and any stray bytes behind the last slot stay as they were. The file
// is replaced as a whole, so a failure leaves it untouched.
bool rewritePhonebook(const QString& path, const std::function<void(int index, PhonebookRecord&)>& change,
                      QString* error);

// The directory as it is written after a download: phonebook.txt holding
// exactly these records, phonebook.csv with one line each, and
// phonebook-backup.txt as a byte copy of the new phonebook.txt. The three
// are replaced together or not at all.
bool writeDirectoryFiles(const DirectoryFiles& files, const QVector<PhonebookRecord>& records, QString* error);
