// How fast a text file goes out with no pause between characters, against
// how fast the line can take it: a 1 MiB and a 10 MiB file sent by the real
// main window (offscreen) with CharDelay 0 into a pseudo-terminal whose far
// end a second thread drains as fast as it can; and, right before each, the
// same bytes written straight into the line in 4 KB pieces by a plain
// writer, the best the port could do. Each size is measured five times,
// the plain writer and the program in turn; the figures are the medians
// (a 1 MiB transfer takes milliseconds, so one alone says little).
//
// Prints, for the 1 MiB file:
//   send_unpaced_throughput: <KiB/s> KiB/s   from the first byte at the far end to the last
//   send_unpaced_vs_drain: <ratio> x         against the drain rate below
//   send_unpaced_drain: <KiB/s> KiB/s        the same bytes written straight into the line
//   send_unpaced_first_byte: <ms> ms         reading, spelling and wrapping before the first byte
// and the same four with "10mib_" after "send_unpaced_" for the 10 MiB file.
#include "BenchTerminal.h"
#include "core/EventWait.h"
#include "text/FileTransmission.h"
#include "text/TextTransmissions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <algorithm>
#include <optional>
#include <vector>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {


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
QByteArray makeFile(qint64 fileBytes, QByteArray* lineBytes)
{
    QByteArray file;
    *lineBytes = "\r";
    for (int i = 0; file.size() < fileBytes; ++i) {
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

struct Figures {
    double sendKiB = 0;
    double drainKiB = 0;
    double ratio = 0; // the median of the rounds' ratios
    double firstByteMs = 0;
};

// The plain writer: the same bytes written straight into the line.
std::optional<double> drainRate(DrainingBox& box, const QByteArray& lineBytes)
{
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
    if (!waitFor(box, 120)) {
        std::fprintf(stderr, "the raw write did not arrive (%lld bytes)\n", qlonglong(box.count()));
        return std::nullopt;
    }
    const double rawSeconds = std::max(1e-9, double(box.clock.nsecsElapsed() - rawStart) / 1e9);
    return lineBytes.size() / 1024.0 / rawSeconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "Send Text File" of a file of `fileBytes`, no pause, with the drain rate
// measured right before each of the rounds.
std::optional<Figures> measure(BenchTerminal& bench, DrainingBox& box, const QString& folder, qint64 fileBytes)
{
    constexpr int kRounds = 5;
    QByteArray lineBytes;
    const QByteArray file = makeFile(fileBytes, &lineBytes);
    const QString path = folder + "/bulletin.txt";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        return std::nullopt;
    out.close();

    std::vector<double> drains, sends, ratios, firstBytes;
    for (int round = 0; round < kRounds; ++round) {
        const std::optional<double> drain = drainRate(box, lineBytes);
        if (!drain)
            return std::nullopt;
        box.expect(lineBytes.size());
        const qint64 start = box.clock.nsecsElapsed();
        bench.window.findChild<TextTransmissions*>()->files().SendTextFile(path);
        if (!waitFor(box, 300)) {
            std::fprintf(stderr, "the far end got %lld of %lld bytes\n", qlonglong(box.count()),
                         qlonglong(lineBytes.size()));
            return std::nullopt;
        }
        const double send = lineBytes.size() / 1024.0 / std::max(1e-9, box.seconds());
        drains.push_back(*drain);
        sends.push_back(send);
        ratios.push_back(send / *drain);
        firstBytes.push_back(double(box.firstNs() - start) / 1e6);
    }
    return Figures{median(sends), median(drains), median(ratios), median(firstBytes)};
}

void print(const char* prefix, const Figures& figures)
{
    std::printf("%sthroughput: %.0f KiB/s\n", prefix, figures.sendKiB);
    std::printf("%svs_drain: %.2f x\n", prefix, figures.ratio);
    std::printf("%sdrain: %.0f KiB/s\n", prefix, figures.drainKiB);
    std::printf("%sfirst_byte: %.0f ms\n", prefix, figures.firstByteMs);
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

    const std::optional<Figures> one = measure(bench, box, folder, 1 << 20);
    if (!one)
        return 1;
    print("send_unpaced_", *one);
    const std::optional<Figures> ten = measure(bench, box, folder, 10 << 20);
    if (!ten)
        return 1;
    print("send_unpaced_10mib_", *ten);
    return bench.dialogs.messages == 0 ? 0 : 1;
}
