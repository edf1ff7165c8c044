#include "journal/DiskSync.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

DiskSync::DiskSync(QObject* context, std::function<void(const QString&)> onError)
    : m_context(context), m_onError(std::move(onError)), m_thread([this] { run(); })
{
}

DiskSync::~DiskSync()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
    for (const Pending& pending : m_pending)
        ::close(pending.fd);
}

void DiskSync::request(int fd)
{
    struct stat file {};
    if (::fstat(fd, &file) != 0)
        return;
    std::unique_lock lock(m_mutex);
    for (const Pending& pending : m_pending) {
        if (pending.device == file.st_dev && pending.inode == file.st_ino)
            return; // the waiting request will cover this write too
    }
    const int copy = ::dup(fd);
    if (copy < 0)
        return;
    m_pending.push_back({copy, file.st_dev, file.st_ino});
    lock.unlock();
    m_wake.notify_one();
}

void DiskSync::waitUntilDone()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_pending.empty() && !m_busy; });
}

void DiskSync::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || !m_pending.empty(); });
        if (m_pending.empty() && m_quit)
            return;
        const std::vector<Pending> files = std::move(m_pending);
        m_pending.clear();
        m_busy = true;
        lock.unlock();

        for (const Pending& pending : files) {
            const int result = ::fdatasync(pending.fd);
            const int error = errno;
            ::close(pending.fd);
            // EINVAL: a file that cannot be synced (a device); nothing is lost.
            if (result != 0 && error != EINVAL && error != EROFS) {
                const QString reason = QString::fromLocal8Bit(std::strerror(error));
                QMetaObject::invokeMethod(m_context, [callback = m_onError, reason] { callback(reason); },
                                          Qt::QueuedConnection);
            }
        }

        lock.lock();
        m_busy = false;
        m_done.notify_all();
    }
}
