#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "journal/JournalLines.h"
#include "unattended/SendArguments.h"

class EventWait;
class SerialLink;

// Sends one message without a window, as a careful operator would: opens
// the port, dials, waits for the far answerback, sends the message paced
// like "Send Text File", optionally sends the station's own answerback,
// closes the call, waits until every byte has left, and closes the port.
// It reports the message as sent only when all of that happened; a failure
// on the way ends the run with its exit code and one line saying why (after
// a dial, the call is closed first when the line is still there).
class UnattendedSender : public QObject {
    Q_OBJECT
public:
    struct Job {
        QString content;       // the message as sent: telexFileText of the file
        QString number;        // the number to dial
        qint16 dialPrefix = 0; // DialPrefix of the configuration
        double charDelay = 0;  // CharDelay of the configuration
        bool answerback = false;
        int timeoutMs = 30000;
    };
    struct Outcome {
        int exitCode = kSendDone;
        QString problem;       // one line; empty when the message was sent
        QString farAnswerback;
        qsizetype sent = 0;    // characters of the message that went on the line
        qsizetype total = 0;
    };

    // The link's port number and settings must be set; the port closed.
    explicit UnattendedSender(SerialLink& link, QObject* parent = nullptr);

    Outcome run(const Job& job);
    // Stops a run (the user pressed Ctrl-C, the system ends the program):
    // nothing more of the message is sent, the call is closed.
    void interrupt();

    static constexpr int kInterrupted = kSendInterrupted;
    // How many characters of a message go on the line: a carriage return
    // first, then every character but the line feeds.
    static qsizetype lineCharacters(const QString& content);

signals:
    void progress(qsizetype sent, qsizetype total);
    // The far station's answerback arrived.
    void answered(const QString& answerback);

private:
    enum class Wait { Done, Lost, Stalled, Interrupted };

    bool waitForAnswerback(const Job& job, Outcome& outcome);
    bool sendMessage(const Job& job, Outcome& outcome);
    // Waits while more than the port's room is queued; Done once there is room.
    Wait waitForRoom(int timeoutMs);
    // Waits until the port and the device have nothing left to send.
    Wait drain(int timeoutMs);
    // A problem after the dial: the call is closed, the port too.
    Outcome& endWith(Outcome& outcome, int exitCode, const QString& problem);
    void closeCall(int timeoutMs);
    void onReceived(const QByteArray& bytes);
    // Why a wait ended early; Done when nothing ended it.
    Wait interruption() const;
    void endWait();

    SerialLink& m_link;
    QString m_lost;          // why the line went; empty while it stands
    bool m_interrupted = false;
    bool m_dialled = false;
    EventWait* m_waiting = nullptr;
    // Received lines after the dial, and what they meant.
    LineCollector m_lines;
    bool m_watching = false;
    QString m_dialledDigits;
    QString m_reply;
    bool m_callFailed = false;
    // Restarted whenever bytes leave for the line.
    QElapsedTimer m_sinceMoved;
};
