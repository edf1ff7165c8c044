#pragma once

#include <QString>
#include <functional>
#include <optional>

// Word wrap to the telex line: lines of at most `width` characters before the
// blank that ends them, each line broken by the wrap ends with that blank and
// CR LF. A carriage return in the text ends its line where it stands when it
// fits; the line feed after it then opens the next line. Leading and
// trailing blanks of the whole text are dropped; the result always ends with
// CR LF.
//
// A word longer than a line (no blank and no fitting carriage return within
// width + 1 characters) is cut: the words pending on the current line end
// their line, the first width + 1 characters of the word stand on a line of
// their own, and the rest of the word starts the next line, where it is
// wrapped like any other word. Nothing is dropped or moved out of order.
// The telex line: every sender wraps to 68 characters.
constexpr int kTelexLineWidth = 68;

QString WrapText(const QString& text, int width);

// The same, asking keepGoing now and then on long texts; when it answers
// false the work stops and nothing is returned.
std::optional<QString> wrapText(const QString& text, int width, const std::function<bool()>& keepGoing);
