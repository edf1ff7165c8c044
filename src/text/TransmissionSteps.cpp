#include "text/TransmissionSteps.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "link/SerialLink.h"
#include "text/frmCancelSend.h"

#include <climits>

namespace {
// Without a pause between characters the text goes out this many
// characters at a time.
constexpr qsizetype kUnpacedPiece = 16384;
} // namespace
#include "text/Pause.h"
#include "text/TelexText.h"
#include "text/TransmissionFiles.h"

void TransmissionSteps::finish()
{
    host.state().StopSend = true;
    host.status().setTxLit(false);
    cancelWindow.hideAfterTransmission();
}

void TransmissionSteps::reportFileProblem(const QString& path, const QString& reason)
{
    host.dialogs().warn(fileProblemText(path, reason));
}

bool TransmissionSteps::lineOpen() const
{
    return host.link().isOpen();
}

void TransmissionSteps::sendPaced(const QString& text, CharacterPacer& pacer)
{
    host.link().send(text);
    host.link().waitForRoom(host.state().StopSend);
    pacer.pauseAfterCharacter();
}

void TransmissionSteps::sendWrapped(const QString& content, int& column)
{
    const AppState& state = host.state();
    CharacterPacer pacer(state.CharDelay);
    const qsizetype pieceSize = pacer.paced() ? 1 : kUnpacedPiece;
    QString piece;
    for (qsizetype start = 0; start < content.size(); start += pieceSize) {
        if (state.StopSend || !lineOpen())
            break;
        // The piece without its LFs, written straight into its characters:
        // an unpaced file goes through here at the line's full speed.
        const QStringView source = QStringView(content).mid(start, pieceSize);
        piece.resize(source.size());
        QChar* out = piece.data();
        for (const QChar c : source) {
            if (c == u'\r')
                column = 0;
            if (c != u'\n')
                *out++ = c;
            if (column < INT_MAX)
                ++column;
        }
        piece.truncate(out - piece.constData());
        sendPaced(piece, pacer);
        host.status().showCount(column);
    }
}

std::optional<QString> TransmissionSteps::wrapToScratch(const QString& text, const QString& scratchPath,
                                                        Breather& breather)
{
    std::optional<QString> prepared = telexFileText(text, breather.asFunction());
    if (!prepared)
        return std::nullopt;
    QString content = *std::move(prepared);
    QString error;
    if (!writeScratchFile(scratchPath, content, breather.asFunction(), &error)) {
        if (!error.isEmpty())
            reportFileProblem(scratchPath, error);
        return std::nullopt;
    }
    return content;
}
