#include "text/KlklAnswer.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/StatusPanel.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "link/SerialLink.h"
#include "text/frmCancelSend.h"
#include "text/KlklText.h"
#include "text/LineEncoding.h"
#include "text/Pause.h"
#include "text/Transliteration.h"
#include "text/TransmissionControl.h"
#include "text/WrapText.h"

#include <QFile>

namespace {

const QString kSourceName = QStringLiteral("\\klkl.txt");
const QString kScratchName = QStringLiteral("\\klkl-Temp.txt");

const QColor kCaptionOff(0xFFFFFF);
const QColor kCaptionOn(0x00FF00);

} // namespace

KlklAnswer::KlklAnswer(TransmissionSteps steps, std::function<QString()> transmitFile, QObject* parent)
    : QObject(parent), m_steps(steps), m_transmitFile(std::move(transmitFile))
{
    lblKlKl = m_steps.host.addCommand("Send", "lblKlKl", "klkl", "Toggle KLKL Automatic Answer");
    lblKlKl->setCaptionColor(m_steps.host.state().KlklAuto ? kCaptionOn : kCaptionOff);
    connect(lblKlKl, &CommandLabel::clicked, this, &KlklAnswer::lblKlKl_Click);
}

void KlklAnswer::lblKlKl_Click()
{
    AppState& state = m_steps.host.state();
    if (state.KlklAuto) {
        state.KlklAuto = false;
        lblKlKl->setCaptionColor(kCaptionOff);
    } else {
        state.KlklAuto = true;
        lblKlKl->setCaptionColor(kCaptionOn);
    }
}

void KlklAnswer::SendKLKL()
{
    if (!m_steps.control.busy() && !m_steps.control.hasWaitingJob()) {
        answer();
        return;
    }
    // Wait for the running transmission; one answer waits at most. Should
    // the answer be switched off or the line be gone by then, it is dropped.
    if (m_answerWaiting)
        return;
    m_answerWaiting = true;
    m_steps.control.runWhenFree([this] {
        m_answerWaiting = false;
        if (m_steps.host.state().KlklAuto && m_steps.lineOpen())
            answer();
    });
}

void KlklAnswer::answer()
{
    AppState& state = m_steps.host.state();
    TransmissionControl::Running running(m_steps.control);
    // The answer's own echo must not start it again.
    const bool busyBefore = state.KlklBusy;
    state.KlklBusy = true;

    const QString source = state.folder.file(kSourceName);
    const QString scratch = state.folder.file(kScratchName);
    QString error;
    QString failedPath;
    QString wrapped;
    if (const std::optional<QString> text = readTextFile(source, &error)) {
        state.StopSend = false;
        // Each line becomes its wrapped lines and one empty line.
        wrapped = klklWrappedText(*text);
        QFile::remove(scratch);
        if (!writeTextFileAtomic(scratch, wrapped, &error))
            failedPath = scratch;
    } else {
        failedPath = source;
    }

    if (!failedPath.isEmpty()) {
        m_steps.reportFileProblem(failedPath, error);
    } else if (m_steps.lineOpen()) {
        state.StopSend = false;
        m_steps.cancelWindow.setStatus("Transmitting KLKL - " + m_transmitFile());
        m_steps.host.status().setAction("Transmitting KLKL File");
        m_steps.cancelWindow.showForTransmission();

        SerialLink& link = m_steps.host.link();
        link.send(kKlklLineEnds);
        Pause(kKlklLeadInSeconds);
        link.send(kKlklLineEnds);

        CharacterPacer pacer(state.CharDelay);
        for (const KlklPiece& piece : klklPieces(wrapped)) {
            if (state.StopSend || !m_steps.lineOpen())
                break;
            link.send(piece.text);
            link.waitForRoom(state.StopSend);
            pacer.pauseAfterCharacter();
            m_steps.host.status().showCount(piece.column);
        }
    }

    m_steps.host.link().send(kKlklLineEnds);
    m_steps.host.link().send(kKlklLineEnds);
    m_steps.finish();
    state.KlklBusy = busyBefore;
}
