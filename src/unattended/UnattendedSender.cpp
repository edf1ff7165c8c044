#include "unattended/UnattendedSender.h"

#include "core/EventWait.h"
#include "link/SerialLink.h"
#include "text/Pause.h"
#include "unattended/FarReply.h"
#include "link/LineSequences.h"

#include <QDateTime>

namespace {

// Without a pause between characters the message goes out this many
// characters at a time, as the window's file sending does.
constexpr qsizetype kUnpacedPiece = 4096;
// How often a wait for the line looks again at the queue counts.
constexpr int kLookAgainMs = 20;
// The longest wait for the line to take the closing sequence after a
// failure; the call may be gone anyway.
constexpr int kCloseTimeoutMs = 5000;

QString seconds(int ms)
{
    return QString::number(ms / 1000.0, 'g', 6);
}

} // namespace

UnattendedSender::UnattendedSender(SerialLink& link, QObject* parent) : QObject(parent), m_link(link)
{
    connect(&m_link, &SerialLink::received, this, &UnattendedSender::onReceived);
    connect(&m_link, &SerialLink::transmitted, this, [this] { m_sinceMoved.restart(); });
    connect(&m_link, &SerialLink::deviceLost, this, [this](const QString& message) {
        m_lost = message.section('\n', 0, 0);
        endWait();
    });
}

qsizetype UnattendedSender::lineCharacters(const QString& content)
{
    return 1 + content.size() - content.count(u'\n');
}

void UnattendedSender::interrupt()
{
    m_interrupted = true;
    endWait();
}

void UnattendedSender::endWait()
{
    if (m_waiting)
        m_waiting->finish();
}

UnattendedSender::Wait UnattendedSender::interruption() const
{
    if (!m_lost.isEmpty() || !m_link.isOpen())
        return Wait::Lost;
    if (m_interrupted)
        return Wait::Interrupted;
    return Wait::Done;
}

UnattendedSender::Outcome UnattendedSender::run(const Job& job)
{
    Outcome outcome;
    outcome.total = lineCharacters(job.content);
    m_lost.clear();
    m_dialled = false;
    if (m_interrupted)
        return endWith(outcome, kInterrupted, QStringLiteral("interrupted before the port was opened"));

    QString error;
    if (!m_link.open(&error)) {
        outcome.exitCode = kSendPort;
        outcome.problem = error;
        return outcome;
    }

    // The dial, as the window's CallNumber sends it.
    const QString dial = callNumberSequence(job.number, job.dialPrefix);
    m_dialledDigits = dial.mid(1);
    m_lines = LineCollector();
    m_reply.clear();
    m_callFailed = false;
    m_link.send(dial);
    m_dialled = true;
    m_sinceMoved.restart();
    // The reply counts from the moment the dial has left.
    if (const Wait sent = drain(job.timeoutMs); sent != Wait::Done) {
        return endWith(outcome, sent == Wait::Interrupted ? kInterrupted : kSendLineLost,
                       sent == Wait::Interrupted ? QStringLiteral("interrupted while dialling")
                                                 : QStringLiteral("the line was lost while dialling: %1")
                                                       .arg(m_lost.isEmpty() ? "the line took nothing" : m_lost));
    }
    m_lines = LineCollector();
    m_watching = true;
    const bool answered = waitForAnswerback(job, outcome);
    m_watching = false;
    if (!answered)
        return outcome;

    if (!sendMessage(job, outcome))
        return outcome;
    if (job.answerback)
        m_link.send(kHereIsSequence);
    m_link.send(kCloseSequence);
    // Nothing counts as sent while it still waits in a buffer.
    switch (drain(job.timeoutMs)) {
    case Wait::Done:
        break;
    case Wait::Interrupted:
        return endWith(outcome, kInterrupted, QStringLiteral("interrupted while the end of the message went out"));
    case Wait::Stalled:
        return endWith(outcome, kSendLineLost,
                       QStringLiteral("the line took no characters for %1 s; the end of the message may not "
                                      "have gone out")
                           .arg(seconds(job.timeoutMs)));
    default:
        return endWith(outcome, kSendLineLost,
                       QStringLiteral("the line was lost before the end of the message had gone out: %1")
                           .arg(m_lost));
    }
    m_link.close();
    return outcome;
}

bool UnattendedSender::waitForAnswerback(const Job& job, Outcome& outcome)
{
    EventWait waiting;
    m_waiting = &waiting;
    const EventWait::Outcome waited = waiting.wait(job.timeoutMs);
    m_waiting = nullptr;

    if (waited == EventWait::Outcome::Quitting || m_interrupted) {
        endWith(outcome, kInterrupted, QStringLiteral("interrupted while waiting for the answerback"));
        return false;
    }
    if (!m_lost.isEmpty() || !m_link.isOpen()) {
        endWith(outcome, kSendLineLost, QStringLiteral("the line was lost while waiting for the answerback: %1")
                                            .arg(m_lost));
        return false;
    }
    if (m_callFailed) {
        endWith(outcome, kSendNoAnswer,
                QStringLiteral("the call to %1 did not connect: the box answered \"%2\"").arg(job.number, m_reply));
        return false;
    }
    if (m_reply.isEmpty()) {
        endWith(outcome, kSendNoAnswer,
                QStringLiteral("no answerback from %1 within %2 s of dialling; the call was closed")
                    .arg(job.number, seconds(job.timeoutMs)));
        return false;
    }
    outcome.farAnswerback = m_reply;
    emit answered(m_reply);
    return true;
}

void UnattendedSender::onReceived(const QByteArray& bytes)
{
    if (!m_watching || !m_reply.isEmpty())
        return;
    for (const LineCollector::Line& line : m_lines.add(QString::fromLatin1(bytes), QDateTime())) {
        const FarReply reply = classifyFarReply(line.text, m_dialledDigits);
        if (reply == FarReply::Ignored)
            continue;
        m_reply = printableReply(line.text);
        m_callFailed = reply == FarReply::CallFailed;
        endWait();
        return;
    }
}

bool UnattendedSender::sendMessage(const Job& job, Outcome& outcome)
{
    CharacterPacer pacer(job.charDelay);
    const qsizetype pieceSize = pacer.paced() ? 1 : kUnpacedPiece;
    const auto stopped = [&](Wait why) {
        if (why == Wait::Interrupted) {
            endWith(outcome, kInterrupted,
                    QStringLiteral("interrupted after %1 of %2 characters; the message did not go out whole")
                        .arg(outcome.sent).arg(outcome.total));
        } else if (why == Wait::Stalled) {
            endWith(outcome, kSendLineLost,
                    QStringLiteral("the line took no characters for %1 s after %2 of %3 characters; the message "
                                   "did not go out whole")
                        .arg(seconds(job.timeoutMs)).arg(outcome.sent).arg(outcome.total));
        } else {
            endWith(outcome, kSendLineLost,
                    QStringLiteral("the line was lost after %1 of %2 characters; the message did not go out "
                                   "whole: %3")
                        .arg(outcome.sent).arg(outcome.total).arg(m_lost));
        }
        return false;
    };

    // As "Send Text File": a carriage return, then the wrapped text; a line
    // feed is not sent but takes its character time.
    m_sinceMoved.restart();
    m_link.send(QStringLiteral("\r"));
    outcome.sent = 1;
    emit progress(outcome.sent, outcome.total);
    pacer.pauseAfterCharacter();
    QString piece;
    for (qsizetype start = 0; start < job.content.size(); start += pieceSize) {
        if (const Wait why = interruption(); why != Wait::Done)
            return stopped(why);
        piece.clear();
        for (const QChar c : QStringView(job.content).mid(start, pieceSize)) {
            if (c != u'\n')
                piece += c;
        }
        if (m_link.bytesToWrite() == 0)
            m_sinceMoved.restart();
        m_link.send(piece);
        outcome.sent += piece.size();
        if (const Wait room = waitForRoom(job.timeoutMs); room != Wait::Done)
            return stopped(room);
        emit progress(outcome.sent, outcome.total);
        pacer.pauseAfterCharacter();
    }
    if (const Wait why = interruption(); why != Wait::Done)
        return stopped(why);
    return true;
}

UnattendedSender::Wait UnattendedSender::waitForRoom(int timeoutMs)
{
    for (;;) {
        if (const Wait why = interruption(); why != Wait::Done)
            return why;
        const qint64 queued = m_link.bytesToWrite();
        if (queued == 0) {
            m_sinceMoved.restart();
            return Wait::Done;
        }
        if (m_sinceMoved.elapsed() > timeoutMs)
            return Wait::Stalled;
        if (queued <= SerialLink::kOutputRoom)
            return Wait::Done;
        EventWait::forSignal(&m_link, &SerialLink::transmitted, kLookAgainMs);
    }
}

UnattendedSender::Wait UnattendedSender::drain(int timeoutMs)
{
    qint64 lastQueued = -1;
    m_sinceMoved.restart();
    for (;;) {
        if (const Wait why = interruption(); why != Wait::Done)
            return why;
        const qint64 queued = m_link.bytesToWrite() + m_link.deviceOutputQueue();
        if (queued == 0)
            return Wait::Done;
        if (lastQueued < 0 || queued < lastQueued) {
            m_sinceMoved.restart();
            lastQueued = queued;
        }
        if (m_sinceMoved.elapsed() > timeoutMs)
            return Wait::Stalled;
        EventWait::forSignal(&m_link, &SerialLink::transmitted, kLookAgainMs);
    }
}

UnattendedSender::Outcome& UnattendedSender::endWith(Outcome& outcome, int exitCode, const QString& problem)
{
    outcome.exitCode = exitCode;
    outcome.problem = problem;
    if (m_dialled && m_lost.isEmpty() && m_link.isOpen())
        closeCall(kCloseTimeoutMs);
    m_link.close();
    return outcome;
}

void UnattendedSender::closeCall(int timeoutMs)
{
    // The call is closed behind whatever already waits for the line; a
    // line that takes nothing more is given up after the time-out.
    m_link.send(kCloseSequence);
    const bool wasInterrupted = std::exchange(m_interrupted, false);
    drain(timeoutMs);
    m_interrupted = wasInterrupted;
}
