#pragma once

#include <QString>

// The sequences of the window's line commands that the unattended sender
// puts on the line, byte for byte as the window sends them.

// CallNumber's bytes: SOH, then a number above 85 behind the Str form of the
// dial prefix (" 0" + "12345"), any other number in its own Str form (" 12").
QString callNumberSequence(const QString& number, qint16 dialPrefix);

// "Close" (DC3) ends the call.
inline const QString kCloseSequence = QStringLiteral("\x13");
// "I am" (CR, TAB): the box sends the station's own answerback.
inline const QString kHereIsSequence = QStringLiteral("\r\t");
