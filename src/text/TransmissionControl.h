#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class SerialLink;

// Keeps the transmissions of the text part from running into each other.
// Every transmission (SendTxt included) holds a Running token while it
// works; a long one (paste, text file, KLKL answer) also holds back the
// commands it names and gives them back when it ends. The send commands
// follow the port: enabled while it is open and nothing holds them.
// A long transmission asked for while another runs waits here and starts
// once the line is free, so two never mix their characters.
class TransmissionControl : public QObject {
    Q_OBJECT
public:
    explicit TransmissionControl(SerialLink& link, QObject* parent = nullptr);

    // The commands that work only with the port open.
    void setPortCommands(QList<QWidget*> commands);
    // Gives every command that no transmission holds the port's state.
    void followPort();

    bool busy() const { return m_running > 0; }

    // Runs `job` once no transmission is running: at once when the line is
    // free, else from the event loop after the running one has ended, in
    // the order asked.
    void runWhenFree(std::function<void()> job);
    bool hasWaitingJob() const { return !m_waiting.isEmpty(); }

    // Held for the lifetime of one transmission, with the commands it holds
    // back.
    class Running {
    public:
        explicit Running(TransmissionControl& control, QList<QWidget*> held = {});
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        TransmissionControl& m_control;
        QList<QPointer<QWidget>> m_held;
    };

private:
    void enter(const QList<QPointer<QWidget>>& held);
    void leave(const QList<QPointer<QWidget>>& held);
    void runWaitingJob();
    bool held(QWidget* command) const { return m_holds.value(command) > 0; }

    SerialLink& m_link;
    QList<QPointer<QWidget>> m_portCommands;
    QHash<QWidget*, int> m_holds;
    int m_running = 0;
    QList<std::function<void()>> m_waiting;
};
