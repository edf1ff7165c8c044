#include "PtyPair.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair(QObject* parent) : QObject(parent) {}

PtyPair::~PtyPair()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPair::open(QString* error)
{
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        m_master = m_slave = -1;
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyPair::onReadable);
    return true;
}

bool PtyPair::write(const QByteArray& bytes)
{
    if (m_master < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            // The program has not read yet; give it the event loop.
            QEventLoop loop;
            QTimer::singleShot(2, &loop, &QEventLoop::quit);
            loop.exec();
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

void PtyPair::onReadable()
{
    char buffer[4096];
    for (;;) {
        const size_t want = m_biteBytes > 0 ? std::min<size_t>(size_t(m_biteBytes), sizeof buffer) : sizeof buffer;
        const ssize_t n = ::read(m_master, buffer, want);
        if (n > 0) {
            const QByteArray chunk(buffer, n);
            m_received += chunk;
            emit bytesArrived(chunk);
            if (m_biteBytes > 0 && m_notifier) {
                // Rest before the next bite.
                m_notifier->setEnabled(false);
                QTimer::singleShot(m_pauseMs, this, [this] {
                    if (m_notifier)
                        m_notifier->setEnabled(true);
                });
                return;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The line hung up; stop listening rather than spin on it.
        m_notifier->setEnabled(false);
        return;
    }
}

QByteArray PtyPair::takeReceived()
{
    QByteArray out;
    out.swap(m_received);
    return out;
}

QByteArray PtyPair::readFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return takeReceived();
}

QByteArray PtyPair::waitForBytes(int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_received.size() < count && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &PtyPair::bytesArrived, &loop, &QEventLoop::quit);
        timer.start(int(std::max<qint64>(1, deadline.remainingTime())));
        loop.exec();
    }
    return takeReceived();
}

void PtyPair::setReading(bool reading)
{
    if (m_notifier)
        m_notifier->setEnabled(reading);
}

void PtyPair::setReadPace(int biteBytes, int pauseMs)
{
    m_biteBytes = std::max(0, biteBytes);
    m_pauseMs = std::max(0, pauseMs);
}

void PtyPair::closeMaster()
{
    if (m_master < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_master);
    m_master = -1;
}
