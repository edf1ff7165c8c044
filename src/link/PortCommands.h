#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class CommandHost;
class CommandLabel;

// The port commands of the main window: "Open Port " / "Close Port"
// (lblOpen1) toggles the serial port, "Port Settings" (lblProps) opens the
// port settings window. The status line's port lamp and labels and the
// elapsed-time clock Timer1 follow the port; a vanished device closes it with
// a message and leaves the received text in the window.
class PortCommands : public QObject {
    Q_OBJECT
public:
    explicit PortCommands(CommandHost& host, QObject* parent = nullptr);

    void lblOpen1_Click();
    void lblProps_Click();

    // The port lamp, labels and commands for an open or a closed port.
    void showPortState(bool open);

private:
    void onDeviceLost(const QString& message);
    void StartClock();
    void StopClock();

    CommandHost& m_host;
    CommandLabel* m_lblOpen1;
    CommandLabel* m_lblProps;
    QTimer* Timer1;
    QDateTime StartTime;
};
