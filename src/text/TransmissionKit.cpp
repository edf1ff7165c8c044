#include "text/TransmissionKit.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "app/TerminalContext.h"
#include "link/SerialLink.h"
#include "text/Pause.h"
#include "text/SendFiles.h"
#include "text/Transliteration.h"
#include "text/WrapText.h"
#include "text/frmCancelSend.h"


void TransmissionKit::finish()
{
    context.state.StopSend = true;
    context.status.setTxLit(false);
    cancelWindow.hideAfterTransmission();
}

void TransmissionKit::reportFileProblem(const QString& path, const QString& reason)
{
    context.dialogs.warn(fileProblemText(path, reason));
}

bool TransmissionKit::lineOpen() const
{
    return context.link.isOpen();
}

void TransmissionKit::sendPaced(const QString& text, CharacterPacer& pacer)
{
    context.link.send(text);
    pacer.pauseAfterCharacter();
}

std::optional<QString> TransmissionKit::wrapToScratch(const QString& text, const QString& scratchPath,
                                                      Breather& breather)
{
    std::optional<QString> letters = transliterateText(text, breather.asFunction());
    if (!letters)
        return std::nullopt;
    std::optional<QString> wrapped = wrapText(*letters, kTelexLineWidth, breather.asFunction());
    letters.reset();
    if (!wrapped)
        return std::nullopt;

    QString content = *std::move(wrapped);
    content += QStringLiteral("\r\n"); // in place: the wrapped text has room for it
    QString error;
    if (!writeScratchFile(scratchPath, content, breather.asFunction(), &error)) {
        if (!error.isEmpty())
            reportFileProblem(scratchPath, error);
        return std::nullopt;
    }
    return content;
}
