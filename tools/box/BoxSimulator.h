#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

// A simulated Quillnet interface box with a far teleprinter behind it. It
// reads what the terminal sends, byte by byte, and answers the way a box
// does: it prints back what is typed, dials, connects to a far station that
// gives its answerback and replies after a go-ahead, plays a broadcast
// service that asks for its receiver list, and answers the status and
// message commands. Everything it sends goes out through `output`.
class BoxSimulator : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Dialling, Connected, Broadcast };

    struct Options {
        QString ownAnswerback = QStringLiteral("12345 vornak d");
        // Milliseconds between the characters the box prints.
        int charDelayMs = 20;
        // Quiet time after the last digit before the box dials.
        int dialDelayMs = 1200;
        QStringList broadcastServices = {QStringLiteral("11151"), QStringLiteral("11162")};
    };

    explicit BoxSimulator(Options options, QObject* parent = nullptr);

    // Bytes from the terminal.
    void receive(const QByteArray& bytes);
    // Far-side text typed by whoever runs the box.
    void farSays(const QString& text);

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
    QString farAnswerback() const;

    Options m_options;
    State m_state = State::Idle;
    QString m_number;
    QString m_line;        // what was typed on the current line while connected
    QString m_broadcastList;
    bool m_escape = false;
    bool m_plus = false;
    QByteArray m_pending;  // printed text not yet sent
    QTimer m_printer;
    QTimer m_dialTimer;
};
