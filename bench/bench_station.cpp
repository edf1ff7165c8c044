// What `vornak station` costs while it waits on an open line: the real
// program against the real vornak-box, one message received first so the
// archive has done its work, then the port held open for a minute with
// nothing arriving.
//
// Prints:
//   station_idle_cpu: <percent> %   processor time of the station against the time waited (goal: 0.1 % at most)
//   station_rss: <MB> MB            the station's resident memory at the end (goal: 30 MB at most)
//   station_rss_peak: <MB> MB       the most it held at any time
// VORNAK_BENCH_IDLE_SECONDS shortens the wait (60 by default) for a quick look.
#include "BenchSupport.h"

#include "core/EventWait.h"
#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>

namespace {

// Processor time of a process so far, all its threads, in seconds (the
// scheduler's nanoseconds, finer than the clock ticks of /proc/<pid>/stat).
double processSeconds(qint64 pid)
{
    double seconds = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task) + "/schedstat");
        if (schedstat.open(QIODevice::ReadOnly))
            seconds += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return seconds;
}

// A "VmRSS"-like line of /proc/<pid>/status, in MB.
double statusMegabytes(qint64 pid, const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key + ":"))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

bool waitForLine(QProcess& process, QByteArray& seen, const QByteArray& text, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!seen.contains(text) && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        seen += process.readAllStandardOutput();
    }
    return seen.contains(text);
}

} // namespace

int main(int argc, char** argv)
{
    BenchFolder folder;
    QCoreApplication app(argc, argv);
    const QString build = QCoreApplication::applicationDirPath() + "/..";
    const int idleSeconds = qEnvironmentVariableIsSet("VORNAK_BENCH_IDLE_SECONDS")
                                ? qEnvironmentVariableIntValue("VORNAK_BENCH_IDLE_SECONDS")
                                : 60;

    QFile message(folder.path + "/incoming.txt");
    message.open(QIODevice::WriteOnly);
    message.write("ZCZC 4711\nweather: fair and warm\nNNNN\n");
    message.close();
    QProcess box;
    const QString pathFile = folder.path + "/box.path";
    box.start(build + "/vornak-box", {"--path-file", pathFile, "--char-delay", "1", "--deliver", message.fileName(),
                                      "--deliver-after", "1500", "--deliver-pace", "5"});
    const QDeadlineTimer boxDeadline(5000);
    while (QFile(pathFile).size() == 0 && !boxDeadline.hasExpired())
        EventWait::forMs(20);
    QFile path(pathFile);
    if (!path.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "the box did not start\n");
        return 1;
    }
    {
        SettingsStore settings;
        settings.save("Ports", "Com1", QString::fromLocal8Bit(path.readAll()).trimmed());
        settings.sync();
    }

    QProcess station;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    station.setProcessEnvironment(environment);
    station.start(build + "/vornak", {"station", "--quiet-seconds", "1"});
    QByteArray log;
    if (!waitForLine(station, log, "message ended: ", 20000)) {
        std::fprintf(stderr, "the station did not archive the message:\n%s\n", log.constData());
        return 1;
    }
    const qint64 pid = station.processId();
    const double before = processSeconds(pid);
    QElapsedTimer waited;
    waited.start();
    EventWait::forMs(idleSeconds * 1000);
    const double used = processSeconds(pid) - before;
    const double seconds = waited.nsecsElapsed() / 1e9;
    std::printf("station_idle_cpu: %.4f %%\n", used / seconds * 100);
    std::printf("station_rss: %.1f MB\n", statusMegabytes(pid, "VmRSS"));
    std::printf("station_rss_peak: %.1f MB\n", statusMegabytes(pid, "VmHWM"));

    station.terminate();
    station.waitForFinished(10000);
    box.terminate();
    box.waitForFinished(3000);
    return station.exitCode() == 0 ? 0 : 1;
}
