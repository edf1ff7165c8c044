#include "text/TransmissionKit.h"

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "app/StatusPanel.h"
#include "app/TerminalContext.h"
#include "link/SerialLink.h"
#include "text/Pause.h"
#include "text/SendFiles.h"
#include "text/Transliteration.h"
#include "text/WrapText.h"
#include "text/frmCancelSend.h"

#include <QCoreApplication>

namespace {

constexpr int kBreathEveryMs = 15;

} // namespace

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

Breather::Breather(const bool& stopFlag) : m_stop(stopFlag)
{
    m_clock.start();
}

bool Breather::keepGoing()
{
    if (m_clock.elapsed() >= kBreathEveryMs) {
        QCoreApplication::processEvents();
        m_clock.restart();
    }
    return !m_stop;
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
