// How closely a paced transmission keeps its pace, and what the waiting
// costs: SendTxt of 500 characters with a pause of 0.01 s after each, sent
// by the real main window (offscreen) through a pseudo-terminal.
//
// Prints:
//   pacing_error: <percent> %        elapsed time against the nominal 5 s (+ = slower)
//   pacing_cpu: <percent> %          process CPU time during the send against the elapsed time
//   pacing_nominal_ratio: <ratio> x  elapsed / nominal
#include "BenchTerminal.h"
#include "core/Dialogs.h"
#include "core/Widgets.h"
#include "PtyPair.h"
#include "text/TextTransmissions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kCharacters = 500;
constexpr double kCharDelay = 0.01;

} // namespace

int main(int argc, char** argv)
{
    BenchFolder folder;
    if (!folder.valid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    QApplication app(argc, argv);

    PtyPair box;
    QString error;
    if (!box.open(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    BenchTerminal bench(folder.path, box.slavePath());
    frmTerminal& terminal = bench.window;
    AppState& state = bench.state;
    state.CharDelay = kCharDelay;
    emit terminal.findChild<CommandLabel*>("lblOpen1")->clicked();
    if (box.waitForBytes(1, 2000) != "\r") {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }

    QString text;
    for (int i = 0; text.size() < kCharacters; ++i)
        text += QChar(i % 7 == 6 ? ' ' : 'a' + i % 26);

    // The box end reads only afterwards (the pseudo-terminal holds the 500
    // bytes), so the figures are the program's alone.
    box.setReading(false);
    QElapsedTimer clock;
    const double cpuBefore = processCpuSeconds();
    clock.start();
    terminal.findChild<TextTransmissions*>()->SendTxt(text);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = processCpuSeconds() - cpuBefore;

    box.setReading(true);
    const QByteArray received = box.waitForBytes(kCharacters + 1, 3000);
    if (received != "\r" + text.toLatin1()) {
        std::fprintf(stderr, "the box received %lld bytes, not the %d expected\n", qlonglong(received.size()),
                     kCharacters + 1);
        return 1;
    }

    const double nominal = kCharacters * kCharDelay;
    std::printf("pacing_error: %.2f %%\n", (elapsed - nominal) / nominal * 100.0);
    std::printf("pacing_cpu: %.2f %%\n", cpu / elapsed * 100.0);
    std::printf("pacing_nominal_ratio: %.4f x\n", elapsed / nominal);
    return 0;
}
