#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "journal/JournalLines.h"

class DiskSync;

// The traffic journal: everything that goes over the line, received and
// sent, written line by line into one file a day ("2026-08-24.txt") in a
// folder of its own. Each line stands behind the local time at which it
// began and its direction mark (journalLine).
//
// A line is handed to the system the moment it ends, so a crash loses at
// most the line in progress; the disk is then asked, on a thread of its
// own, to write it down (power cuts). Lines that end within kGatherMs of
// the last write (a flood of fast text) are written together once that
// time is up, so a fast line costs a few writes a second, not one a line.
//
// When the folder or the file cannot be written (a read-only folder, a full
// disk, a pipe or a device in the file's place), the journal switches itself
// off and says why, once, through failed(); what it could not write is
// dropped, nothing else is affected. A line is in the file whole or not at
// all: a write the disk took only in part is taken back to the last whole
// line, and a file found ending inside a line (a power cut) gets its line
// end before anything is added.
class TrafficJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kGatherMs = 20;
    // The clock is read at most this often; times are noted to the second,
    // and reading the local time costs the system a look at its time zone.
    static constexpr int kClockReadMs = 100;

    // `folder`: where the daily files go (made when missing); `now`: the
    // local time.
    TrafficJournal(QString folder, std::function<QDateTime()> now, QObject* parent = nullptr);
    ~TrafficJournal() override;

    // Opens today's file to append to; false, with the message for the
    // user, when the folder or the file cannot be written (the journal
    // stays off).
    bool start(QString* error);
    // Writes the lines in progress and everything gathered, and closes the
    // file. Also done when the journal is destroyed.
    void stop();
    bool isOn() const { return m_on; }
    const QString& folder() const { return m_folder; }
    // The file written to now (empty while off).
    QString currentFile() const { return m_fd >= 0 ? m_path : QString(); }

    // Text received from the box, as the terminal window shows it; with
    // `replacedLast` it took the place of the window's last character.
    void recordReceived(const QString& shownText, bool replacedLast = false);
    // Bytes sent to the box, as they went on the line.
    void recordSent(const QByteArray& bytes);

    // Hands everything gathered to the system now.
    void flush();
    // Waits until the disk has everything handed to the system so far.
    void waitForDisk();

    // Tests that set the clock read it at every piece of traffic.
    void setClockReadEvery(int ms) { m_clockReadMs = ms; }

    // The message for a journal that cannot be written: the path, the
    // system's reason, and that the journal is off.
    static QString problemText(const QString& path, const QString& reason);

signals:
    // The journal could not be written and has switched itself off;
    // `message` is the problemText.
    void failed(const QString& message);

private:
    void take(const QDateTime& started, QStringView text, Direction direction);
    // Lines have been taken: written now, or gathered while the last write
    // is recent.
    void lineTaken();
    void writeGathered();
    bool openFor(const QDate& day, QString* reason);
    void closeFile();
    void fail(const QString& path, const QString& reason);
    QDateTime now();

    QString m_folder;
    std::function<QDateTime()> m_now;
    int m_clockReadMs = kClockReadMs;
    QDateTime m_lastRead;
    QElapsedTimer m_sinceRead;
    bool m_on = false;
    LineCollector m_received;
    LineCollector m_sent;
    // The day's file: its path, and its descriptor while open (-1 when not).
    QString m_path;
    int m_fd = -1;
    QDate m_fileDay;
    // Lines ended but not yet written, and the day they belong to.
    QByteArray m_gathered;
    QDate m_gatheredDay;
    QTimer m_gatherTimer;
    std::unique_ptr<DiskSync> m_sync;
};
