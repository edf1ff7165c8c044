#include "journal/DiskSync.h"

#include <cerrno>
#include <cstring>
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
    if (m_pendingFd >= 0)
        ::close(m_pendingFd);
}

void DiskSync::request(int fd)
{
    std::unique_lock lock(m_mutex);
    if (m_pendingFd >= 0)
        return; // the waiting request will cover this write too
    m_pendingFd = ::dup(fd);
    if (m_pendingFd < 0)
        return;
    lock.unlock();
    m_wake.notify_one();
}

void DiskSync::waitUntilDone()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_pendingFd < 0 && !m_busy; });
}

void DiskSync::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_pendingFd >= 0; });
        if (m_pendingFd < 0 && m_quit)
            return;
        const int fd = m_pendingFd;
        m_pendingFd = -1;
        m_busy = true;
        lock.unlock();

        const int result = ::fdatasync(fd);
        const int error = errno;
        ::close(fd);
        // EINVAL: a file that cannot be synced (a device); nothing is lost.
        if (result != 0 && error != EINVAL && error != EROFS) {
            const QString reason = QString::fromLocal8Bit(std::strerror(error));
            QMetaObject::invokeMethod(m_context, [callback = m_onError, reason] { callback(reason); },
                                      Qt::QueuedConnection);
        }

        lock.lock();
        m_busy = false;
        m_done.notify_all();
    }
}
