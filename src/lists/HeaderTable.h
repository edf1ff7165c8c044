#pragma once

#include "directory/PhonebookRecord.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The broadcast header: a table of the broadcast receivers as teleprinter
// text, three receivers to a line of 68 characters, each as a running
// counter, the number right-aligned and the name cut short:
//
//   columns  1-2 counter, -10 number, 12-21 name     (first receiver)
//           24-25 counter, -32 number, 34-43 name     (second)
//           47-48 counter, -56 number, 58-67 name     (third)
//
// Counters of three or more digits (the hundredth receiver on) end in the
// same column and start earlier, in the gap before the entry; the first
// entry of a line has no gap, so its counter starts in column 1 and ends
// later, and a blank always separates it from the number. Nothing is ever
// written over: a number that does not fit between its counter and its end
// column starts behind the counter instead, and the name then starts one
// blank behind the number and is cut to end in its entry's last column.
namespace header {

constexpr int kLineWidth = 68;
constexpr int kEntriesPerLine = 3;
constexpr int kNamePlaced = 10;

// The name as the table shows it: up to (not including) the first comma;
// without a comma its first 11 characters; of either at most 10.
QString tableName(const QString& nameField);

// The counter of the n-th receiver (from 1): two digits with a leading
// zero, more when needed.
QString counterText(int n);

// Writes receiver `counter` into entry 0, 1 or 2 of a line of kLineWidth
// characters.
void placeEntry(QString& line, int entry, int counter, const QString& number, const QString& name);

// The table lines for the receivers among the records (RsGr2 = 1), in file
// order, each kLineWidth characters long.
QStringList tableLines(const QVector<PhonebookRecord>& records);

// The preview: the head lines naming the sending station, the table lines,
// the end lines.
QStringList previewLines(const QString& stationId, const QStringList& tableLines);

// RSHeader.txt: each table line without its trailing blanks and ended by
// CR LF, then a line holding a single blank.
QString fileText(const QStringList& tableLines);

// The 70-character column ruler of the preview.
QString ruler();

} // namespace header
