#pragma once

#include <QObject>
#include <QString>

class CommandHost;
class CommandLabel;
class TrafficJournal;

// The "Journal" command of the Port group: switches the traffic journal on
// and off (caption green while on, like the klkl switch) and keeps the
// choice in the settings store; off until the user switches it on. The
// journal records what the serial line sends and, through
// recordShown (connected to ReceivePath::lineTextShown), what the window
// shows of the received text.
class JournalPart : public QObject {
    Q_OBJECT
public:
    explicit JournalPart(CommandHost& host, QObject* parent = nullptr);
    ~JournalPart() override;

    void lblJournal_Click();
    // Received text as the window shows it.
    void recordShown(const QString& text, bool replacedLast);

    TrafficJournal& journal() { return *m_journal; }
    CommandLabel* command() const { return lblJournal; }

private:
    void switchOn();
    void switchOff();
    void showState(bool on);
    void onFailed(const QString& message);

    CommandHost& m_host;
    TrafficJournal* m_journal;
    CommandLabel* lblJournal;
};
