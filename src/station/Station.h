#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "link/PortWatcher.h"

class ArchiveRecorder;
class EventWait;
class SerialLink;
class StationLog;
struct AppState;
struct ArchivedMessage;

// A receiving station without a window: keeps the port open, keeps what
// arrives in the message archive, answers "klkl" when asked to, and opens
// the port again when its device comes back after it vanished. Needs only
// a Qt core application.
//
// It never starts a call, so it never sends the close code: a call the far
// side made is the far side's to end.
class Station : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool klkl = false;
        QString klklFile;      // the answer's file (absolute)
        QString archiveFolder;
        qint64 quietMs = 30'000;
    };

    Station(SerialLink& link, AppState& state, StationLog& log, Options options, QObject* parent = nullptr);
    ~Station() override;

    // Opens the port (with the link's port number and settings); false,
    // with the reason, when it cannot.
    bool start(QString* error);
    // Ends the station: a KLKL answer in progress stops before its next
    // character (its closing line ends still go out), the message in
    // progress is finished, what waits for the line goes out (a few seconds
    // at most), the port closes; then stopped().
    void requestStop(const QString& why);

    PortWatcher& watcher() { return m_watcher; }
    ArchiveRecorder& recorder() { return *m_recorder; }

signals:
    void stopped();

private:
    void onReceived(const QByteArray& bytes);
    void onLost(const QString& message);
    void onReturned(const QString& device);
    void answerKlkl();
    void finishStop();
    QString portName() const;

    SerialLink& m_link;
    AppState& m_state;
    StationLog& m_log;
    Options m_options;
    PortWatcher m_watcher;
    ArchiveRecorder* m_recorder;
    QString m_watch;          // the end of the received text, for "klkl"
    bool m_answering = false;
    bool m_stopRequested = false;
    bool m_stopped = false;
    EventWait* m_leadIn = nullptr; // the pause before the answer's text, while it runs
    QString m_lastReopenProblem;
};
