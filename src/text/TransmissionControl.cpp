#include "text/TransmissionControl.h"

#include "link/SerialLink.h"

#include <QTimer>

TransmissionControl::TransmissionControl(SerialLink& link, QObject* parent)
    : QObject(parent), m_link(link)
{
}

void TransmissionControl::setStartCommands(QList<QWidget*> commands)
{
    m_commands.clear();
    for (QWidget* command : commands)
        m_commands << command;
}

void TransmissionControl::restoreCommands()
{
    if (m_holding > 0)
        return;
    const bool open = m_link.isOpen();
    for (const QPointer<QWidget>& command : std::as_const(m_commands)) {
        if (command)
            command->setEnabled(open);
    }
}

bool TransmissionControl::runWhenFree(std::function<void()> job)
{
    if (!busy()) {
        job();
        return true;
    }
    if (m_waiting)
        return false;
    m_waiting = std::move(job);
    return true;
}

void TransmissionControl::enter(Running::Kind kind)
{
    ++m_running;
    if (kind != Running::Long)
        return;
    if (m_holding++ == 0) {
        for (const QPointer<QWidget>& command : std::as_const(m_commands)) {
            if (command)
                command->setEnabled(false);
        }
    }
}

void TransmissionControl::leave(Running::Kind kind)
{
    --m_running;
    if (kind == Running::Long && --m_holding == 0)
        restoreCommands();
    if (m_running == 0 && m_waiting) {
        // Not from inside the ending transmission: its caller finishes first.
        QTimer::singleShot(0, this, &TransmissionControl::runWaitingJob);
    }
}

void TransmissionControl::runWaitingJob()
{
    if (busy() || !m_waiting)
        return; // another transmission began meanwhile; it will hand over again
    std::function<void()> job = std::move(m_waiting);
    m_waiting = nullptr;
    job();
}

TransmissionControl::Running::Running(TransmissionControl& control, Kind kind)
    : m_control(control), m_kind(kind)
{
    m_control.enter(kind);
}

TransmissionControl::Running::~Running()
{
    m_control.leave(m_kind);
}
