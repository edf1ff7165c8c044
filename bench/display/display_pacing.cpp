// What a paced transmission costs on a real display: SendTxt of 5,000
// characters with a pause of 0.01 s after each, sent by the real main
// window shown on the X display of DISPLAY, through a pseudo-terminal.
// scripts/bench runs it on its own display.
//
// Prints:
//   display_pacing_cpu: <percent> %   process CPU time during the send against the elapsed time
#include "../PacedSend.h"

#include <QApplication>
#include <cstdio>

namespace {

constexpr int kCharacters = 5000;
constexpr double kCharDelay = 0.01;

} // namespace

int main(int argc, char** argv)
{
    BenchFolder folder(true);
    if (!folder.valid())
        return 1;
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") {
        std::fprintf(stderr, "no display\n");
        return 1;
    }

    PtyPair box;
    QString error;
    if (!box.open(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    BenchTerminal bench(folder.path, box.slavePath());
    bench.window.show();
    bench.state.CharDelay = kCharDelay;
    // Two seconds for the window to be drawn and settle first.
    const std::optional<PacedSend> send = measurePacedSend(bench, box, kCharacters, 2000);
    if (!send)
        return 1;
    const double cpu = send->cpuSeconds, elapsed = send->elapsedSeconds;
    std::printf("display_pacing_cpu: %.2f %%\n", cpu / elapsed * 100.0);
    return 0;
}
