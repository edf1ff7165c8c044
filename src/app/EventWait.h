#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

// Lets pending window events run until the signal fires or the time is up,
// whichever comes first. Never spins: the nested loop sleeps in the event
// dispatcher between events.
template <typename Sender, typename Signal>
void waitForSignal(const Sender* sender, Signal signal, int timeoutMs)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QMetaObject::Connection quitOnSignal = QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    loop.exec();
    QObject::disconnect(quitOnSignal);
}
