#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <optional>

#include "core/EventWait.h"

struct TerminalContext;
class frmTerminal;
class frmCancelSend;
class TransmissionControl;
class CharacterPacer;

// What the senders of the text part share: the terminal's context, the
// window, the coordination of transmissions and the cancel window.
struct TransmissionKit {
    TerminalContext& context;
    frmTerminal& window;
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
    // Spells a text in teleprinter letters, wraps it to the telex line and
    // writes it, with one more line end, to the scratch file it is sent
    // from. The content written, or nothing when cancelled or when the
    // scratch file could not be written (then the user has been told).
    std::optional<QString> wrapToScratch(const QString& text, const QString& scratchPath, Breather& breather);
};
