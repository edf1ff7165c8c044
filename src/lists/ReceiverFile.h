#pragma once

#include <QString>
#include <QStringList>

// The receiver file RSend.txt: the numbers of the broadcast receivers, one
// per line behind a comma, and a last line that repeats the last number
// behind a plus sign ("0+" when there is no receiver). The broadcast service
// reads the list up to the plus sign.

// The number of a receiver as the file holds it: the leading digits of the
// record's Number field (blanks before them skipped) without leading zeros;
// "0" when the field does not start with a digit.
QString receiverNumber(const QString& numberField);

// The file's lines, without line ends, for the receivers' numbers in order
// (each already in receiverNumber form).
QStringList receiverFileLines(const QStringList& receiverNumbers);

// The whole file: every line ended by CR LF.
QString receiverFileText(const QStringList& lines);
