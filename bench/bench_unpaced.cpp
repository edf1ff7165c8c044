// How fast a text file goes out with no pause between characters, against
// how fast the line can take it: a 1 MB file sent by the real main window
// (offscreen) with CharDelay 0 into a pseudo-terminal whose far end a second
// thread drains as fast as it can; and, in the same run, the same bytes
// written straight into the line in 4 KB pieces, the best the port could do.
//
// Prints:
//   send_unpaced_throughput: <KiB/s> KiB/s   from the first byte at the far end to the last
//   send_unpaced_vs_drain: <ratio> x         against the drain rate below
//   send_unpaced_drain: <KiB/s> KiB/s        the same bytes written straight into the line
//   send_unpaced_first_byte: <ms> ms         reading, spelling and wrapping before the first byte
#include "BenchTerminal.h"
#include "core/EventWait.h"
#include "text/FileTransmission.h"
#include "text/TextTransmissions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 kFileBytes = 1 << 20;

// The far end of a pseudo-terminal, drained by its own thread: it counts
// what arrives and notes when the first and the last expected byte came.
class DrainingBox {
public:
    bool open()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
            return false;
        m_slavePath = QString::fromLocal8Bit(name);
        m_reader = std::thread([this] { drain(); });
        return true;
    }
    ~DrainingBox()
    {
        m_stop = true;
        if (m_slave >= 0)
            ::close(m_slave); // the master read returns once the slave side is gone
        if (m_reader.joinable())
            m_reader.join();
        if (m_master >= 0)
            ::close(m_master);
    }
    const QString& slavePath() const { return m_slavePath; }
    int slave() const { return m_slave; }

    // Starts counting afresh for `expected` bytes.
    void expect(qint64 expected)
    {
        m_count = 0;
        m_expected = expected;
        m_first = m_last = 0;
    }
    bool complete() const { return m_count.load() >= m_expected.load(); }
    qint64 count() const { return m_count; }
    // Seconds from the first to the last expected byte.
    double seconds() const { return double(m_last - m_first) / 1e9; }
    qint64 firstNs() const { return m_first; }

    QElapsedTimer clock;

private:
    void drain()
    {
        char buffer[1 << 16];
        while (!m_stop) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) {
                if (n < 0 && errno == EINTR)
                    continue;
                if (m_stop)
                    return;
                ::usleep(1000);
                continue;
            }
            const qint64 now = clock.nsecsElapsed();
            if (m_count.load() == 0)
                m_first = now;
            m_count += n;
            if (m_count.load() >= m_expected.load())
                m_last = now;
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_count{0};
    std::atomic<qint64> m_expected{0};
    std::atomic<qint64> m_first{0};
    std::atomic<qint64> m_last{0};
};

// The bytes that go on the line for the file below: a carriage return, each
// line ended by a carriage return alone, and the two closing line ends.
QByteArray makeFile(QByteArray* lineBytes)
{
    QByteArray file;
    *lineBytes = "\r";
    for (int i = 0; file.size() < kFileBytes; ++i) {
        const QByteArray line = "bulletin line " + QByteArray::number(i) + ": weather, markets and shipping news";
        file += line + "\r\n";
        *lineBytes += line + "\r";
    }
    *lineBytes += "\r\r";
    return file;
}

bool waitFor(DrainingBox& box, int seconds)
{
    QElapsedTimer limit;
    limit.start();
    while (!box.complete() && limit.elapsed() < seconds * 1000)
        EventWait::forMs(5);
    return box.complete();
}

} // namespace

int main(int argc, char** argv)
{
    BenchFolder program;
    if (!program.valid())
        return 1;
    const QString folder = program.path;
    QApplication app(argc, argv);

    DrainingBox box;
    if (!box.open()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    box.clock.start();
    QByteArray lineBytes;
    const QByteArray file = makeFile(&lineBytes);
    const QString path = folder + "/bulletin.txt";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return 1;
    out.close();

    // The drain rate: the same bytes written straight into the line.
    box.expect(lineBytes.size());
    const int writer = ::open(qPrintable(box.slavePath()), O_WRONLY | O_NOCTTY);
    const qint64 rawStart = box.clock.nsecsElapsed();
    for (qsizetype at = 0; writer >= 0 && at < lineBytes.size();) {
        const ssize_t n = ::write(writer, lineBytes.constData() + at, size_t(std::min<qsizetype>(4096, lineBytes.size() - at)));
        if (n > 0)
            at += n;
        else if (errno != EINTR && errno != EAGAIN)
            break;
    }
    if (writer >= 0)
        ::close(writer);
    if (!waitFor(box, 30)) {
        std::fprintf(stderr, "the raw write did not arrive (%lld bytes)\n", qlonglong(box.count()));
        return 1;
    }
    const double rawSeconds = std::max(1e-9, double(box.clock.nsecsElapsed() - rawStart) / 1e9);
    const double drainKiB = lineBytes.size() / 1024.0 / rawSeconds;

    // The program: "Send Text File" of the same text, no pause.
    BenchTerminal bench(folder, box.slavePath());
    frmTerminal& terminal = bench.window;
    AppState& state = bench.state;
    emit terminal.findChild<CommandLabel*>("lblOpen1")->clicked();
    box.expect(1);
    if (!waitFor(box, 5)) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    state.CharDelay = 0;
    state.ConnectionActive = true;
    box.expect(lineBytes.size());
    const qint64 start = box.clock.nsecsElapsed();
    terminal.findChild<TextTransmissions*>()->files().SendTextFile(path);
    if (!waitFor(box, 60)) {
        std::fprintf(stderr, "the far end got %lld of %lld bytes\n", qlonglong(box.count()), qlonglong(lineBytes.size()));
        return 1;
    }
    const double seconds = std::max(1e-9, box.seconds());
    const double sendKiB = lineBytes.size() / 1024.0 / seconds;
    std::printf("send_unpaced_throughput: %.0f KiB/s\n", sendKiB);
    std::printf("send_unpaced_vs_drain: %.2f x\n", sendKiB / drainKiB);
    std::printf("send_unpaced_drain: %.0f KiB/s\n", drainKiB);
    std::printf("send_unpaced_first_byte: %.0f ms\n", double(box.firstNs() - start) / 1e6);
    return bench.dialogs.messages == 0 ? 0 : 1;
}
