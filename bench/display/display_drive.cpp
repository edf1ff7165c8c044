// display_drive: runs one serial terminal program (Vornak, CuteCom or
// picocom) on a pseudo-terminal, as a user would on a real X display, and
// measures what it costs from outside: the processor time of its process
// (/proc/<pid>/stat, user and system), its resident memory
// (/proc/<pid>/status VmRSS) and the time from exec to its window mapped.
// scripts/bench starts the display and calls it once per program and
// repetition; docs/benchmarks.md says how each program is driven.
//
//   display_drive --peer vornak|cutecom|picocom [--program PATH]
//                 [--idle-seconds S] [--steady-seconds S] [--burst-mib N]
//                 [--xserver-pid PID]
//
// It prints, one "name: value unit" line each:
//   start: <s> s                     exec to the first window mapped (not for picocom)
//   idle_cpu: <percent> %            port open, nothing on the line
//   receive_115200_cpu: <percent> %  11,520 bytes/s in 10 ms pieces
//   xserver_115200_cpu: <percent> %  the X server meanwhile (with --xserver-pid)
//   rss: <KiB> KiB                   after the steady line
//   receive_burst_cpu: <s> s         N MiB as fast as the program reads them, until it is quiet again
#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Processor time of a process so far (all its threads), user and system.
double cpuSecondsOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name may hold blanks; the fields count from behind it.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

qint64 rssKiBOf(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// Whether the process holds `path` open.
bool holdsOpen(pid_t pid, const QString& path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        if (QFile::symLinkTarget(fds.filePath(fd)) == path)
            return true;
    }
    return false;
}

// A pseudo-terminal in raw mode; `reader` drains the master end in a thread
// of its own, counting what arrives.
struct Pty {
    int master = -1;
    int slave = -1;
    QString path;
    std::atomic<qint64> read{0};
    std::atomic<bool> stop{false};
    std::thread reader;

    bool open()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
            return false;
        path = QString::fromLocal8Bit(name);
        reader = std::thread([this] {
            char buffer[1 << 16];
            while (!stop) {
                pollfd p{master, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                if (p.revents & (POLLHUP | POLLERR)) {
                    ::usleep(20000); // the slave end is not open just now
                    continue;
                }
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    read += n;
            }
        });
        return true;
    }
    ~Pty()
    {
        stop = true;
        if (reader.joinable())
            reader.join();
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    bool writeAll(const char* data, qsizetype size)
    {
        while (size > 0) {
            const ssize_t n = ::write(master, data, size_t(size));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= n;
        }
        return true;
    }
};

// Waits for the first window of process `pid` to be mapped on the display;
// returns the window or 0 after `timeoutSeconds`.
class MapWatch {
public:
    MapWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        m_pidAtom = atom("_NET_WM_PID");
        xcb_flush(m_connection);
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    bool valid() const { return !xcb_connection_has_error(m_connection); }

    xcb_window_t waitForWindow(pid_t pid, double timeoutSeconds)
    {
        const double end = monotonicSeconds() + timeoutSeconds;
        while (monotonicSeconds() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                xcb_window_t window = 0;
                if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
                    window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                std::free(event);
                if (window && pidOf(window) == pid)
                    return window;
            }
            pollfd p{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&p, 1, 20);
        }
        return 0;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : 0;
        std::free(reply);
        return found;
    }
    pid_t pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = pid_t(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
        std::free(reply);
        return pid;
    }
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
};

// The text of the line: bulletin lines of 66 characters and CR LF.
QByteArray lineText(qint64 bytes)
{
    QByteArray text;
    text.reserve(bytes + 80);
    for (int i = 0; text.size() < bytes; ++i) {
        QByteArray line = "bulletin " + QByteArray::number(i) + ": weather, markets and shipping news follow";
        line = line.leftJustified(66, '.');
        text += line + "\r\n";
    }
    text.truncate(bytes);
    return text;
}

struct Peer {
    pid_t pid = -1;
    std::unique_ptr<Pty> terminal; // picocom's own terminal
};

void runProgram(const QString& program, const QStringList& arguments, const QTemporaryDir& home, Peer& peer,
                bool inTerminal)
{
    if (inTerminal) {
        peer.terminal = std::make_unique<Pty>();
        if (!peer.terminal->open())
            return;
    }
    QList<QByteArray> argv8{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        argv8.append(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : argv8)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray homePath = home.path().toLocal8Bit();
    const int terminalSlave = inTerminal ? peer.terminal->slave : -1;

    peer.pid = ::fork();
    if (peer.pid != 0)
        return;
    ::setenv("HOME", homePath.constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (homePath + "/config").constData(), 1);
    ::setenv("VORNAK_DIR", (homePath + "/program").constData(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("TERM", "xterm", 1);
    if (terminalSlave >= 0) {
        ::setsid();
        ::ioctl(terminalSlave, TIOCSCTTY, 0);
        ::dup2(terminalSlave, 0);
        ::dup2(terminalSlave, 1);
        ::dup2(terminalSlave, 2);
    } else {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// Copies the shipped data files into the program folder.
void fillProgramFolder(const QString& dataFolder, const QString& folder)
{
    QDir().mkpath(folder);
    const QDir data(dataFolder);
    for (const QString& name : data.entryList(QDir::Files)) {
        if (!name.endsWith(".qrc"))
            QFile::copy(data.filePath(name), folder + "/" + name);
    }
}

// CPU percent of `pid` over `seconds` while `feed` runs (it returns when the time is up).
template <typename Feed>
double cpuPercentDuring(pid_t pid, double seconds, Feed feed)
{
    const double cpu0 = cpuSecondsOf(pid);
    const double t0 = monotonicSeconds();
    feed(t0 + seconds);
    return (cpuSecondsOf(pid) - cpu0) / (monotonicSeconds() - t0) * 100.0;
}

void sleepUntil(double when)
{
    const double left = when - monotonicSeconds();
    if (left <= 0)
        return;
    timespec pause{time_t(left), long((left - double(time_t(left))) * 1e9)};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption peerOption("peer", "vornak, cutecom or picocom.", "NAME");
    const QCommandLineOption programOption("program", "The program to run.", "PATH");
    const QCommandLineOption dataOption("data", "Vornak's shipped data folder.", "DIR");
    const QCommandLineOption idleOption("idle-seconds", "Idle time.", "S", "60");
    const QCommandLineOption steadyOption("steady-seconds", "Steady line time.", "S", "30");
    const QCommandLineOption burstOption("burst-mib", "Burst size.", "MIB", "10");
    const QCommandLineOption xserverOption("xserver-pid", "The X server's process.", "PID");
    parser.addOptions({peerOption, programOption, dataOption, idleOption, steadyOption, burstOption, xserverOption});
    parser.process(app);
    const QString peerName = parser.value(peerOption);
    const bool gui = peerName != "picocom";
    std::signal(SIGPIPE, SIG_IGN);

    QTemporaryDir home;
    Pty line;
    if (!home.isValid() || !line.open()) {
        std::fprintf(stderr, "no temporary folder or pseudo-terminal\n");
        return 1;
    }
    QString program = parser.value(programOption);
    QStringList arguments;
    if (peerName == "vornak") {
        fillProgramFolder(parser.value(dataOption), home.path() + "/program");
        writeFile(home.path() + "/config/vornak/Quillnet USB Terminal.ini",
                  "[Ports]\nCom1=" + line.path.toLocal8Bit() + "\n");
    } else if (peerName == "cutecom") {
        // One session on the pseudo-terminal. Flow control 1 is Hardware: with
        // None, CuteCom closes the port after the modem-line ioctl a
        // pseudo-terminal refuses.
        writeFile(home.path() + "/config/CuteCom/CuteCom5.conf",
                  "[sessions]\n1\\BaudRate=115200\n1\\DataBits=8\n1\\Device=" + line.path.toLocal8Bit()
                      + "\n1\\FlowControl=1\n1\\OpenMode=3\n1\\Parity=0\n1\\StopBits=1\n1\\autoReconnect=false\n"
                        "1\\name=Default\n1\\showCtrlCharacters=false\n1\\showTimestamp=false\nsize=1\n");
        if (program.isEmpty())
            program = "cutecom";
    } else if (peerName == "picocom") {
        if (program.isEmpty())
            program = "picocom";
        arguments = {"--quiet", "--baud", "9600", "--flow", "n", "--noreset", "--nolock", line.path};
    } else {
        std::fprintf(stderr, "unknown program %s\n", qPrintable(peerName));
        return 1;
    }

    std::optional<MapWatch> watch;
    if (gui) {
        watch.emplace();
        if (!watch->valid()) {
            std::fprintf(stderr, "no X display\n");
            return 1;
        }
    }
    Peer peer;
    const double started = monotonicSeconds();
    runProgram(program, arguments, home, peer, !gui);
    if (peer.pid <= 0)
        return 1;
    auto finish = [&](int code) {
        ::kill(peer.pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && ::waitpid(peer.pid, &status, WNOHANG) == 0; ++i)
            ::usleep(100000);
        ::kill(peer.pid, SIGKILL);
        ::waitpid(peer.pid, &status, 0);
        return code;
    };

    if (gui) {
        const xcb_window_t window = watch->waitForWindow(peer.pid, 60);
        if (!window) {
            std::fprintf(stderr, "%s showed no window\n", qPrintable(peerName));
            return finish(1);
        }
        std::printf("start: %.3f s\n", monotonicSeconds() - started);
        std::fflush(stdout);
        // Opening the port is the user's key: Ctrl+Shift+P in Vornak, the
        // "Open" button's Alt+O in CuteCom.
        QThread::msleep(500);
        QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(window), "key",
                                      peerName == "vornak" ? "ctrl+shift+p" : "alt+o"});
    }
    const double openLimit = monotonicSeconds() + 20;
    while (!holdsOpen(peer.pid, line.path) && monotonicSeconds() < openLimit)
        QThread::msleep(20);
    if (!holdsOpen(peer.pid, line.path)) {
        std::fprintf(stderr, "%s did not open the port\n", qPrintable(peerName));
        return finish(1);
    }
    QThread::sleep(3); // the program settles

    const double idle = cpuPercentDuring(peer.pid, parser.value(idleOption).toDouble(), sleepUntil);
    std::printf("idle_cpu: %.3f %%\n", idle);
    std::fflush(stdout);

    // The steady line: 11,520 bytes a second in 10 ms pieces, on time.
    const QByteArray steady = lineText(qint64(11520 * parser.value(steadyOption).toDouble()) + 200);
    const pid_t xserver = parser.value(xserverOption).toInt();
    const double xserverCpu0 = xserver > 0 ? cpuSecondsOf(xserver) : 0;
    const double steadyStart = monotonicSeconds();
    const double receive = cpuPercentDuring(peer.pid, parser.value(steadyOption).toDouble(), [&](double end) {
        qsizetype sent = 0;
        for (int tick = 1; monotonicSeconds() < end; ++tick) {
            const qsizetype due = std::min<qsizetype>(steady.size(), qsizetype(11520LL * tick / 100));
            if (due > sent && !line.writeAll(steady.constData() + sent, due - sent))
                return;
            sent = due;
            sleepUntil(steadyStart + tick * 0.01);
        }
    });
    std::printf("receive_115200_cpu: %.3f %%\n", receive);
    if (xserver > 0)
        std::printf("xserver_115200_cpu: %.3f %%\n",
                    (cpuSecondsOf(xserver) - xserverCpu0) / (monotonicSeconds() - steadyStart) * 100.0);
    QThread::sleep(1);
    std::printf("rss: %lld KiB\n", qlonglong(rssKiBOf(peer.pid)));
    std::fflush(stdout);

    // The burst: as fast as the program takes it, until it has been quiet
    // (less than 10 ms of processor time) for a second.
    const QByteArray burst = lineText(parser.value(burstOption).toLongLong() << 20);
    const double burstCpu0 = cpuSecondsOf(peer.pid);
    if (!line.writeAll(burst.constData(), burst.size())) {
        std::fprintf(stderr, "the burst did not go out\n");
        return finish(1);
    }
    double last = cpuSecondsOf(peer.pid);
    for (int quietTicks = 0; quietTicks < 10;) {
        QThread::msleep(100);
        const double now = cpuSecondsOf(peer.pid);
        quietTicks = now - last < 0.0105 ? quietTicks + 1 : 0;
        if (quietTicks == 0)
            last = now;
    }
    std::printf("receive_burst_cpu: %.3f s\n", last - burstCpu0);
    std::printf("rss_after_burst: %lld KiB\n", qlonglong(rssKiBOf(peer.pid)));
    std::fflush(stdout);
    return finish(0);
}
