// How closely a paced transmission keeps its pace, and what the waiting
// costs: SendTxt of 500 characters with a pause of 0.01 s after each, sent
// by the real main window (offscreen) through a pseudo-terminal.
//
// Prints:
//   pacing_error: <percent> %        elapsed time against the nominal 5 s (+ = slower)
//   pacing_cpu: <percent> %          process CPU time during the send against the elapsed time
//   pacing_nominal_ratio: <ratio> x  elapsed / nominal
#include "PacedSend.h"

#include <QApplication>
#include <cstdio>

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
    bench.state.CharDelay = kCharDelay;
    const std::optional<PacedSend> send = measurePacedSend(bench, box, kCharacters, 0);
    if (!send)
        return 1;
    const double cpu = send->cpuSeconds, elapsed = send->elapsedSeconds;

    const double nominal = kCharacters * kCharDelay;
    std::printf("pacing_error: %.2f %%\n", (elapsed - nominal) / nominal * 100.0);
    std::printf("pacing_cpu: %.2f %%\n", cpu / elapsed * 100.0);
    std::printf("pacing_nominal_ratio: %.4f x\n", elapsed / nominal);
    return 0;
}
