#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

// A simulated Quillnet interface box with a far teleprinter behind it. It
// reads what the terminal sends, byte by byte, and answers the way a box
// does: it prints back what is typed, dials, connects to a far station that
// gives its answerback and replies after a go-ahead, plays a broadcast
// service that asks for its receiver list, and answers the status and
// message commands. Everything it sends goes out through `output`.
//
// A broadcast service is reached by its number, dialled bare or behind the
// dial prefix (SOH, a blank, the prefix, the number: what the terminal sends
// for network numbers). It asks for the receivers with its prompt, in two
// pieces when a prompt pause is set, takes the list up to the plus sign,
// reports it in the log and confirms it; then the message follows.
class BoxSimulator : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Dialling, Connected, Broadcast };

    struct BroadcastService {
        QString number;
        // The prompt is sent as these two pieces.
        QString promptHead;
        QString promptTail;
    };

    struct Options {
        QString ownAnswerback = QStringLiteral("12345 vornak d");
        // Milliseconds between the characters the box prints.
        int charDelayMs = 20;
        // Quiet time after the last digit before the box dials.
        int dialDelayMs = 1200;
        // The digits the terminal dials ahead of network numbers.
        QString dialPrefix = QStringLiteral("0");
        // Milliseconds between the two pieces of a service's prompt; 0 sends
        // the prompt in one go.
        int promptPauseMs = 0;
        QVector<BroadcastService> broadcastServices = {
            {QStringLiteral("11151"), QStringLiteral("receivers please (numbers, end with +) +++"),
             QStringLiteral("):")},
            {QStringLiteral("11162"), QStringLiteral("teilnehmer mit komma, ende mit +, dann text ein"),
             QStringLiteral("geben.")},
        };
    };

    // The service a dialled number reaches, or -1: its number alone or
    // behind the dial prefix.
    static int serviceFor(const QString& dialled, const Options& options);

    explicit BoxSimulator(Options options, QObject* parent = nullptr);

    // Bytes from the terminal.
    void receive(const QByteArray& bytes);
    // Far-side text typed by whoever runs the box.
    void farSays(const QString& text);
    // Incoming messages from a far station: each is sent as a teleprinter
    // sends it (its line ends as CR LF), one character every `paceMs` (all
    // at once for 0), with `quietMs` of silence after each. Messages asked
    // for while others are still going out follow them.
    void deliver(const QStringList& messages, int paceMs, int quietMs);
    bool delivering() const { return m_deliveryTimer.isActive() || !m_deliveries.isEmpty(); }
    // The messages of a delivery file: its text split at lines that hold
    // only "---".
    static QStringList messagesOf(const QString& fileText);

    State state() const { return m_state; }
    QString dialledNumber() const { return m_number; }

signals:
    // Bytes for the terminal.
    void output(const QByteArray& bytes);
    // One line for the box's log.
    void logLine(const QString& line);

private:
    void handle(char byte);
    void typed(char byte);
    void print(const QString& text);
    void flushOne();
    void dial();
    void farAnswerAfterGoAhead();
    void hangUp(const QString& why);
    void askForReceivers(int service);
    // A byte of the receiver list; false when it is none (a command).
    bool takeListByte(char byte);
    void listReceived();
    QString farAnswerback() const;
    void deliverNext();

    struct Delivery {
        QByteArray text;
        int paceMs = 0;
        int quietMs = 0;
    };

    Options m_options;
    State m_state = State::Idle;
    QString m_number;
    QString m_line;        // what was typed on the current line while connected
    QString m_broadcastList;
    // Counts calls, so a prompt piece due after a hang-up is dropped.
    int m_call = 0;
    bool m_escape = false;
    bool m_plus = false;
    QByteArray m_pending;  // printed text not yet sent
    QTimer m_printer;
    QTimer m_dialTimer;
    QList<Delivery> m_deliveries;
    Delivery m_delivery;      // the message going out
    qsizetype m_deliveredAt = 0;
    int m_delivered = 0;      // messages delivered so far
    QTimer m_deliveryTimer;
};
