#pragma once

#include <QString>

// What a line the box sends after a dial means to the unattended sender.
enum class FarReply {
    Ignored,     // the box repeating the dialled number, or no text at all
    Answerback,  // the far station identified itself: the call stands
    CallFailed,  // a network service signal: occupied, no connection, ...
};

// `line`: one received line without its line end; `dialledDigits`: the
// digits sent after SOH. The line the box prints while the number is typed
// ends with those digits ("nr? 012345"); a service signal is a line that
// holds only one of the telex network's codes ("occ", "nc", "nch", "np",
// "na", "der", "abs"; any case); any other line with a letter or a digit is
// taken as the answerback.
FarReply classifyFarReply(const QString& line, const QString& dialledDigits);

// The line as it can be shown: control characters dropped, blanks trimmed.
QString printableReply(const QString& line);
