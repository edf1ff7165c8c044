#pragma once

#include "lists/MarkTable.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class ProgramFolder;

// What a save wrote.
struct SavedMarks {
    // Every record of phonebook.txt as it now stands, in file order.
    QVector<PhonebookRecord> records;
    // The lines of RSend.txt (the receiver list only; empty otherwise).
    QStringList receiverLines;
};

// Saves the marks of a list window: every record of phonebook.txt is
// rewritten in its own slot as savedRecord() makes it (only the record's own
// bytes change; slot padding and bytes behind the last slot stay), and the
// receiver list also writes RSend.txt for the checked positions. The files
// are replaced together through temporary files, or not at all.
//
// `shown` are the records the window loaded. When phonebook.txt no longer
// holds those subscribers in those slots (it changed behind the window's
// back), nothing is written: the check state belongs to the rows shown.
// A file that exists but may not be written is refused before anything is
// written. On failure the reason, naming the file, is in *error.
std::optional<SavedMarks> saveMarks(const ProgramFolder& folder, ListMark mark, const QVector<qint16>& checkState,
                                    const QVector<PhonebookRecord>& shown, QString* error);

// The file names the list windows use, for messages.
inline const QString kPhonebookName = QStringLiteral("phonebook.txt");
inline const QString kReceiverFileName = QStringLiteral("RSend.txt");
inline const QString kHeaderFileName = QStringLiteral("RSHeader.txt");

// An error when an existing file may not be replaced (read-only), else
// nothing. A missing file may be created.
std::optional<QString> refusedWrite(const QString& path);
