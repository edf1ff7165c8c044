// What the traffic journal costs the receive path: the receive benchmark
// (1 MiB of text, a CR LF every 60 characters, in 64-byte chunks into the
// live window, the event loop run after each chunk) with the journal off
// and on, in turns, in one process. With the journal on, the time ends
// when every line has been handed to the system (written to the file); the
// disk then takes them on a thread of its own, and the wait for that,
// which the window never makes, is measured apart.
//
// Prints receive_throughput_plain and receive_throughput_journal (MiB/s,
// the best of the rounds), journal_cost (per cent more time) and
// journal_cost_cpu (per cent more CPU time of the process, every thread
// counted), each the median over pairs of rounds run one after the other,
// journal_disk_wait (from the last write until the disk had it, the worst
// of the rounds) and journal_lines (lines in the file, to show the work
// was done).
#include "BenchTerminal.h"
#include "core/EventWait.h"
#include "journal/JournalPart.h"
#include "journal/TrafficJournal.h"
#include "link/ReceivePath.h"
#include "link/TerminalText.h"


#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <vector>
#include <cstdio>

namespace {

constexpr int kTotal = 1 << 20;
constexpr int kChunk = 64;
constexpr int kRounds = 21;

QByteArray receivedText()
{
    QByteArray text;
    text.reserve(kTotal);
    for (int i = 0; text.size() < kTotal; ++i)
        text += (i % 62 >= 60) ? (i % 62 == 60 ? '\r' : '\n') : char('a' + i % 26);
    text.truncate(kTotal);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    BenchFolder folder;
    QApplication app(argc, argv);

    BenchTerminal bench(folder.path);
    frmTerminal& terminal = bench.window;
    terminal.show();
    ReceivePath& receive = *terminal.findChild<ReceivePath*>();
    JournalPart& journal = *terminal.findChild<JournalPart*>();
    EventWait::breathe();

    const QByteArray text = receivedText();
    double diskWait = 0;
    struct Cost {
        double seconds;
        double cpuSeconds;
    };
    const auto measure = [&] {
        terminal.terminal().setLineText(QString());
        EventWait::breathe();
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = processCpuSeconds();
        for (int at = 0; at < kTotal; at += kChunk) {
            receive.onCommEvent(2, text.mid(at, kChunk));
            EventWait::breathe();
        }
        terminal.terminal().showPending();
        terminal.terminal().viewport()->repaint();
        if (journal.journal().isOn())
            journal.journal().flush();
        const Cost cost{clock.nsecsElapsed() / 1e9, processCpuSeconds() - cpuBefore};
        if (journal.journal().isOn()) {
            QElapsedTimer disk;
            disk.start();
            journal.journal().waitForDisk();
            diskWait = std::max(diskWait, disk.nsecsElapsed() / 1e6);
        }
        return cost;
    };

    // Plain and journalled rounds in turns: each pair meets the same load of
    // the (shared) machine, so the cost is the median of the pairs' ratios;
    // the throughputs are the best rounds.
    Cost plain{1e9, 1e9}, journalled{1e9, 1e9};
    const auto keepBest = [](Cost& best, const Cost& round) {
        best.seconds = std::min(best.seconds, round.seconds);
        best.cpuSeconds = std::min(best.cpuSeconds, round.cpuSeconds);
    };
    std::vector<double> timeRatios, cpuRatios;
    QString journalFile;
    for (int round = 0; round < kRounds; ++round) {
        const Cost off = measure();
        journal.lblJournal_Click();
        journalFile = journal.journal().currentFile();
        const Cost on = measure();
        journal.lblJournal_Click();
        keepBest(plain, off);
        keepBest(journalled, on);
        timeRatios.push_back(on.seconds / off.seconds);
        cpuRatios.push_back(on.cpuSeconds / off.cpuSeconds);
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };

    QFile file(journalFile);
    int lines = 0;
    if (file.open(QIODevice::ReadOnly))
        lines = int(file.readAll().count("\r\n"));
    const double mib = kTotal / double(1 << 20);
    std::printf("receive_throughput_plain: %.2f MiB/s\n", mib / plain.seconds);
    std::printf("receive_throughput_journal: %.2f MiB/s\n", mib / journalled.seconds);
    std::printf("journal_cost: %.1f %%\n", (median(timeRatios) - 1) * 100);
    std::printf("journal_cost_cpu: %.1f %%\n", (median(cpuRatios) - 1) * 100);
    std::printf("journal_disk_wait: %.1f ms\n", diskWait);
    std::printf("journal_lines: %d lines\n", lines);
    return bench.dialogs.messages == 0 ? 0 : 1;
}
