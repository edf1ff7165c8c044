#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class CommandHost;
class CommandLabel;
class PortWatcher;

// The port commands of the main window: "Open Port " / "Close Port"
// (lblOpen1) toggles the serial port, "Port Settings" (lblProps) opens the
// port settings window. The status line's port lamp and labels and the
// elapsed-time clock Timer1 follow the port; a vanished device closes it with
// a message and leaves the received text in the window. When the user wants
// it (the port settings window's "Reopen the port when the adapter
// returns"), the port is opened again as soon as the same device is back;
// nothing is sent then.
class PortCommands : public QObject {
    Q_OBJECT
public:
    explicit PortCommands(CommandHost& host, QObject* parent = nullptr);

    void lblOpen1_Click();
    void lblProps_Click();

    // The port lamp, labels and commands for an open or a closed port.
    void showPortState(bool open);

    // Watches for a vanished device while the user wants the port reopened.
    PortWatcher& watcher() { return *m_watcher; }

private:
    void onDeviceLost(const QString& message);
    // The vanished device is back: the port opens on it again, with the
    // same settings, and says so; nothing is sent.
    void reopenReturnedPort(const QString& device);
    bool reopenWanted() const;
    void StartClock();
    void StopClock();

    CommandHost& m_host;
    CommandLabel* m_lblOpen1;
    CommandLabel* m_lblProps;
    PortWatcher* m_watcher;
    QTimer* Timer1;
    QDateTime StartTime;
};
