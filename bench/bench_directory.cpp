// Directory download benchmark: a real vornak-dirserver on loopback serves N
// entries; the update window downloads them, merges the old marks, sorts
// and writes the three files (without the 2-second pause after sorting).
// The floor is what lock-step costs at the least: N loopback round trips of
// a 2-byte acknowledgement and a 102-byte entry, measured here with two
// threads and blocking sockets.
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "directory/frmUpdate.h"
#include "directory/PhonebookFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <algorithm>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include <unistd.h>

namespace {

bool readFully(int fd, char* buffer, int size)
{
    for (int got = 0; got < size;) {
        const ssize_t n = ::recv(fd, buffer + got, size - got, 0);
        if (n <= 0)
            return false;
        got += int(n);
    }
    return true;
}

// Seconds of one loopback round trip: 2 bytes out, 102 bytes back.
double loopbackRoundTrip(int trips)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int one = 1;

    std::thread server([&] {
        const int fd = ::accept(listener, nullptr, nullptr);
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        char ack[2];
        char entry[102] = {5, 100};
        while (readFully(fd, ack, 2))
            ::send(fd, entry, sizeof entry, 0);
        ::close(fd);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char entry[102];
    const char ack[2] = {8, 0};
    for (int i = 0; i < 200; ++i) { // warm up
        ::send(client, ack, 2, 0);
        readFully(client, entry, 102);
    }
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < trips; ++i) {
        ::send(client, ack, 2, 0);
        readFully(client, entry, 102);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    ::close(client);
    server.join();
    ::close(listener);
    return seconds / trips;
}

// Downloads, merges, sorts and writes N entries; the seconds it took, or a
// negative value when the download failed.
double updateSeconds(int entries, const QString& serverProgram)
{
    QProcess server;
    server.start(serverProgram, {"--address", "127.0.0.1", "--port", "0", "--generate", QString::number(entries)});
    quint16 port = 0;
    QByteArray output;
    static const QRegularExpression portLine("on 127\\.0\\.0\\.1:(\\d+)\\n");
    while (port == 0 && server.waitForReadyRead(5000)) {
        output += server.readAllStandardOutput();
        const auto match = portLine.match(QString::fromLatin1(output));
        if (match.hasMatch())
            port = quint16(match.captured(1).toUInt());
    }
    if (port == 0) {
        std::fprintf(stderr, "vornak-dirserver did not start: %s\n", qPrintable(server.errorString()));
        return -1;
    }

    QTemporaryDir folder;
    AppState state;
    state.folder = ProgramFolder(folder.path());
    state.DirectoryServer = "127.0.0.1";
    // An old phonebook with a favourite every 50 entries to carry over.
    QVector<PhonebookRecord> old;
    for (int i = 0; i < entries; i += 50) {
        PhonebookRecord record;
        record.setNumber(QString::number(100000 + (qint64(i) * 7919) % 900000));
        record.Check = 1;
        old << record;
    }
    QString error;
    writeDirectoryFiles(DirectoryFiles::in(state.folder), old, &error);

    PrintedDialogs dialogs;
    DirectoryOptions options;
    options.port = port;
    options.sortPauseMs = 0;
    frmUpdate window(state, dialogs, options);
    QElapsedTimer clock;
    clock.start();
    window.lblRetrieve_Click();
    const double seconds = clock.nsecsElapsed() / 1e9;
    server.kill();
    server.waitForFinished();
    const qint64 written = QFileInfo(state.folder.file("\\phonebook.txt")).size();
    if (dialogs.messages > 0 || window.RecordCount() != entries || written != qint64(entries) * 124)
        return -1;
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString serverProgram = QCoreApplication::applicationDirPath() + "/../vornak-dirserver";

    // The machine is shared: each figure is the median of three runs, each
    // run with its own floor measured right before it.
    constexpr int kRuns = 3;
    for (const int entries : {1000, 10000, 20000}) {
        std::vector<double> totals;
        std::vector<double> ratios;
        std::vector<double> roundTrips;
        for (int run = 0; run < kRuns; ++run) {
            const double roundTrip = loopbackRoundTrip(std::max(entries / 2, 2000));
            const double seconds = updateSeconds(entries, serverProgram);
            if (seconds < 0) {
                std::fprintf(stderr, "directory_%d: the download failed\n", entries);
                return 1;
            }
            totals.push_back(seconds);
            roundTrips.push_back(roundTrip);
            ratios.push_back(seconds / (entries * roundTrip));
        }
        std::printf("directory_%d_roundtrip: %.1f us\n", entries, median(roundTrips) * 1e6);
        std::printf("directory_%d_total: %.3f s\n", entries, median(totals));
        std::printf("directory_%d_vs_floor: %.2f x\n", entries, median(ratios));
        std::fflush(stdout);
    }
    return 0;
}
