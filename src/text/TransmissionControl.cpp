#include "text/TransmissionControl.h"

#include "link/SerialLink.h"

#include <QTimer>

TransmissionControl::TransmissionControl(SerialLink& link, QObject* parent) : QObject(parent), m_link(link)
{
    connect(&link, &SerialLink::openChanged, this, &TransmissionControl::followPort);
}

void TransmissionControl::setPortCommands(QList<QWidget*> commands)
{
    m_portCommands.clear();
    for (QWidget* command : commands)
        m_portCommands << command;
    followPort();
}

void TransmissionControl::followPort()
{
    const bool open = m_link.isOpen();
    for (const QPointer<QWidget>& command : std::as_const(m_portCommands)) {
        if (command && !held(command))
            command->setEnabled(open);
    }
}

void TransmissionControl::runWhenFree(std::function<void()> job)
{
    if (!busy() && m_waiting.isEmpty()) {
        job();
        return;
    }
    m_waiting << std::move(job);
}

void TransmissionControl::enter(const QList<QPointer<QWidget>>& commands)
{
    ++m_running;
    for (const QPointer<QWidget>& command : commands) {
        if (!command)
            continue;
        ++m_holds[command];
        command->setEnabled(false);
    }
}

void TransmissionControl::leave(const QList<QPointer<QWidget>>& commands)
{
    --m_running;
    const bool open = m_link.isOpen();
    for (const QPointer<QWidget>& command : commands) {
        if (!command)
            continue;
        if (--m_holds[command] == 0) {
            m_holds.remove(command);
            // A command that follows the port is given back as the port has
            // it: a port lost meanwhile keeps it disabled.
            command->setEnabled(open || !m_portCommands.contains(command));
        }
    }
    if (m_running == 0 && !m_waiting.isEmpty()) {
        // Not from inside the ending transmission: its caller finishes first.
        QTimer::singleShot(0, this, &TransmissionControl::runWaitingJob);
    }
}

void TransmissionControl::runWaitingJob()
{
    if (busy() || m_waiting.isEmpty())
        return; // another transmission began meanwhile; it will hand over again
    std::function<void()> job = m_waiting.takeFirst();
    job();
    if (!busy() && !m_waiting.isEmpty())
        QTimer::singleShot(0, this, &TransmissionControl::runWaitingJob);
}

TransmissionControl::Running::Running(TransmissionControl& control, QList<QWidget*> held) : m_control(control)
{
    for (QWidget* command : held)
        m_held << command;
    m_control.enter(m_held);
}

TransmissionControl::Running::~Running()
{
    m_control.leave(m_held);
}
