#pragma once

#include <QString>
#include <functional>
#include <optional>

// The text of a file (or paste) as it is sent: spelled in teleprinter
// letters with table A (transliterateText), wrapped to the telex line
// (wrapText, 68 characters) and ended with one more CR LF. Sending it puts
// every character but the line feeds on the line, with one character
// time after each, line feeds included.
//
// keepGoing is asked now and then on long texts; when it answers false the
// work stops and nothing is returned.
std::optional<QString> telexFileText(const QString& text, const std::function<bool()>& keepGoing = {});
