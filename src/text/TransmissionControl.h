#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class SerialLink;

// Keeps the paced transmissions of the text part from running into each
// other. Every transmission (SendTxt included) holds a Running token while
// it works. The long ones (paste, text file, KLKL answer) also hold back the
// commands that would start another one, and give them back when the last
// one ends: enabled while the port is open, as the port's own state has them.
// Work that must not cut into a running transmission (the automatic KLKL
// answer) waits here and runs once the line is free.
class TransmissionControl : public QObject {
    Q_OBJECT
public:
    explicit TransmissionControl(SerialLink& link, QObject* parent = nullptr);

    // The commands held back while a long transmission runs.
    void setStartCommands(QList<QWidget*> commands);

    bool busy() const { return m_running > 0; }

    // Gives the commands the state of the port (when no long transmission
    // holds them).
    void restoreCommands();

    // Runs `job` once no transmission is running: at once when the line is
    // free, else from the event loop after the last one has ended. A job
    // already waiting is not queued twice (returns false).
    bool runWhenFree(std::function<void()> job);
    bool hasWaitingJob() const { return bool(m_waiting); }
    void dropWaitingJob() { m_waiting = nullptr; }

    // Held for the lifetime of one transmission.
    class Running {
    public:
        enum Kind { Short, Long };
        Running(TransmissionControl& control, Kind kind);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        TransmissionControl& m_control;
        Kind m_kind;
    };

private:
    void enter(Running::Kind kind);
    void leave(Running::Kind kind);
    void runWaitingJob();

    SerialLink& m_link;
    QList<QPointer<QWidget>> m_commands;
    int m_running = 0;
    int m_holding = 0;
    std::function<void()> m_waiting;
};
