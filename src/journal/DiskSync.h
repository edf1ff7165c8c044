#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Has the system put a file's written data on the disk (fdatasync), on a
// thread of its own: the disk may take milliseconds to answer, and the
// window's thread must not wait for it. The file's lines are already with
// the system when a request is made; this only shortens the time a power
// cut could still take them.
//
// Requests for a file that come while one for the same file is waiting
// are one request: the sync that follows covers everything written to it
// before it starts. Requests for other files wait beside it (the message
// archive writes a message file and its index).
class DiskSync {
public:
    // A failed sync is reported through `onError`, run on the thread of
    // `context`, which must outlive this object (its owner, as a rule).
    DiskSync(QObject* context, std::function<void(const QString& reason)> onError);
    ~DiskSync();
    DiskSync(const DiskSync&) = delete;
    DiskSync& operator=(const DiskSync&) = delete;

    // Asks for the data written to the open file `fd` so far to reach the
    // disk. The file may be closed right after: the request keeps its own
    // handle.
    void request(int fd);
    // Waits until every request made so far has been carried out.
    void waitUntilDone();

private:
    void run();

    QObject* m_context;
    std::function<void(const QString&)> m_onError;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    // Handles of the files waiting for a sync, one per file.
    struct Pending {
        int fd;
        unsigned long long device;
        unsigned long long inode;
    };
    std::vector<Pending> m_pending;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};
