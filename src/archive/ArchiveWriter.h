#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

#include "archive/ArchiveStore.h"

class DiskSync;

// Writes the messages of the archive as they arrive: each piece of text
// (whole lines) is handed to the system the moment it comes, so a crash
// loses at most the unfinished line; the disk is then asked, on a thread of
// its own, to store it (DiskSync), so the caller never waits for the disk.
// When a message ends, its file gets the time of its last text as its
// modification time and the index gets its line.
//
// A write that fails (a full disk, a folder that cannot be written) loses
// nothing that was written before, and the text that could not be written
// is kept in memory (up to kMemoryLimit) and written when the disk takes it
// again: at the next piece of text and every kRetryMs. The trouble is told
// once through failed(), its end through recovered().
class ArchiveWriter : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 5000;
    static constexpr qsizetype kMemoryLimit = 16 * 1024 * 1024;

    explicit ArchiveWriter(QString folder, QObject* parent = nullptr);
    // Writes what it can and waits for the disk.
    ~ArchiveWriter() override;

    const ArchiveStore& store() const { return m_store; }

    // A message started at `start`; returns its file (relative to the
    // archive folder). A message still open is finished first.
    QString begin(const QDateTime& start);
    // Text of the open message (received text, Latin-1 by nature).
    void append(const QString& text);
    // The open message's first line, for the index.
    void setFirstLine(const QString& line);
    // The open message ended; `end` is when its last text arrived.
    void finish(const QDateTime& end);

    bool messageOpen() const { return m_open; }
    // The file of the open message (empty when none is open).
    QString openFile() const { return m_open ? m_jobs.back().message.file : QString(); }
    // Text waits in memory because the disk did not take it.
    bool holdsBack() const;
    // Tries to write what is held back now.
    void retry() { flush(); }
    // Waits until the disk has everything written so far.
    void waitForDisk();
    // Tests retry sooner.
    void setRetryInterval(int ms) { m_retry.setInterval(ms); }

signals:
    // A message is whole on disk and in the index.
    void written(const ArchivedMessage& message);
    // A write failed; `message` says where and why. Told once until recovered().
    void failed(const QString& message);
    // What was held back is written; `droppedBytes` could not be kept
    // (more than kMemoryLimit waited).
    void recovered(qint64 droppedBytes);

private:
    struct Job {
        ArchivedMessage message;
        QByteArray unwritten;
        bool finished = false;
    };
    void flush();
    bool writeJob(Job& job, QString* reason);
    bool finishJob(Job& job, QString* reason);
    bool appendIndexLine(const ArchivedMessage& message, QString* reason);
    void closeFile();
    void trouble(const QString& path, const QString& reason);
    qsizetype heldBytes() const;

    ArchiveStore m_store;
    std::deque<Job> m_jobs; // oldest first; the last one is the open message while m_open
    bool m_open = false;
    int m_fd = -1;
    QString m_fdFile;
    bool m_troubled = false;
    qint64 m_dropped = 0;
    QTimer m_retry;
    std::unique_ptr<DiskSync> m_sync;
};
