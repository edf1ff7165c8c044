#pragma once

#include <QString>

// The sequences of the line commands that more than the window puts on the
// line (the unattended sender sends them too), byte for byte.

// What CallNumber dials after SOH: a number above 85 behind the Str form of
// the dial prefix (" 0" + "12345"), any other number (a local one) in its own
// Str form (" 12").
QString dialledNumber(const QString& number, qint16 dialPrefix);
// CallNumber's bytes as one sequence: SOH and the dialled number.
QString callNumberSequence(const QString& number, qint16 dialPrefix);

// SOH: the box takes the digits that follow as a number to dial.
inline const QString kDialSequence = QStringLiteral("\x01");
// "Close" (DC3) ends the call.
inline const QString kCloseSequence = QStringLiteral("\x13");
// "I am" (CR, TAB): the box sends the station's own answerback.
inline const QString kHereIsSequence = QStringLiteral("\r\t");
