#pragma once

#include <QString>

// The message `vornak send` sends: a text file, or standard input ("-"),
// read and decoded the way "Send Text File" reads its file (UTF-8 when the
// bytes are valid UTF-8 with a multi-byte sequence, else Latin-1). Folders,
// devices, binary data (zero bytes) and a message with nothing but blanks
// and line ends in it are refused.
//
// Line ends become CR LF, the line end the telex conversion keeps: a file
// written on this system ends its lines with LF alone, and the conversion
// would run such lines together. A file with CR LF line ends is left as it
// is.
struct MessageFile {
    QString text;
    // Why it cannot be sent, in one line; empty when it can.
    QString problem;
};

MessageFile readMessageFile(const QString& path);

// LF alone and CR alone as line ends become CR LF.
QString withCrLfLineEnds(const QString& text);
