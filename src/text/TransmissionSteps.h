#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/EventWait.h"

class CommandHost;
class frmCancelSend;
class TransmissionControl;
class CharacterPacer;

// The steps every long transmission of the text part shares: the host, the
// coordination of transmissions and the cancel window, and what is done the
// same way by each of them.
struct TransmissionSteps {
    CommandHost& host;
    TransmissionControl& control;
    frmCancelSend& cancelWindow;

    // The end of every long transmission, whether it finished, was
    // cancelled or met an error: StopSend true, the transmit lamp dark, the
    // cancel window hidden.
    void finish();
    // A failed file step: the path and the system's reason, exclamation icon.
    void reportFileProblem(const QString& path, const QString& reason);
    // The paced loops stop as soon as the line is gone.
    bool lineOpen() const;
    // One character (or its spelling) on the line, then the pause after it.
    void sendPaced(const QString& text, CharacterPacer& pacer);
    // The wrapped content of a paste or file, paced by CharDelay: a line
    // feed is not sent but costs its pause like any character; `column`
    // counts the characters since the last carriage return and shows in the
    // counter. Without a pause the text goes out in pieces as fast as the
    // line takes them (the counter shows where each piece ends). Stops at
    // Cancel and when the line is gone.
    void sendWrapped(const QString& content, int& column);
    // Spells a text in teleprinter letters, wraps it to the telex line and
    // writes it, with one more line end, to the scratch file it is sent
    // from. The content written, or nothing when cancelled or when the
    // scratch file could not be written (then the user has been told).
    std::optional<QString> wrapToScratch(const QString& text, const QString& scratchPath, Breather& breather);
};
