#pragma once

#include <QString>
#include <QVector>

// The KLKL answer as it goes on the line, without files or pacing, so the
// window and the station send the same answer.

// The prepared file's text made ready to send: each of its lines wrapped
// to the telex line (68 characters) and followed by CR LF and one more
// empty line's CR LF (an empty line between the lines).
QString klklWrappedText(const QString& fileText);

// What is sent for each character of the wrapped text, in order: the
// character in the KLKL spelling (a carriage return becomes nothing and
// starts the column count again), with a carriage return behind it when the
// column passes 69. Each piece is followed by one character time.
struct KlklPiece {
    QString text;
    int column = 0; // the column count after the piece, as the counter shows it
};
QVector<KlklPiece> klklPieces(const QString& wrapped);

// The carriage returns before the answer (twice, KlklLeadInSeconds apart)
// and after it (twice).
inline const QString kKlklLineEnds = QStringLiteral("\r\r");
constexpr double kKlklLeadInSeconds = 3.0;
