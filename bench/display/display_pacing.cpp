// What a paced transmission costs on a real display: SendTxt of 5,000
// characters with a pause of 0.01 s after each, sent by the real main
// window shown on the X display of DISPLAY, through a pseudo-terminal.
// scripts/bench runs it on its own display.
//
// Prints:
//   display_pacing_cpu: <percent> %   process CPU time during the send against the elapsed time
#include "../BenchTerminal.h"
#include "core/EventWait.h"
#include "core/Widgets.h"
#include "PtyPair.h"
#include "text/TextTransmissions.h"

#include <QApplication>
#include <QElapsedTimer>
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
    frmTerminal& terminal = bench.window;
    terminal.show();
    bench.state.CharDelay = kCharDelay;
    emit terminal.findChild<CommandLabel*>("lblOpen1")->clicked();
    if (box.waitForBytes(1, 5000) != "\r") {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    EventWait::forMs(2000); // the window is drawn and settles

    QString text;
    for (int i = 0; text.size() < kCharacters; ++i)
        text += QChar(i % 7 == 6 ? ' ' : 'a' + i % 26);

    box.setReading(false);
    QElapsedTimer clock;
    const double cpuBefore = processCpuSeconds();
    clock.start();
    terminal.findChild<TextTransmissions*>()->SendTxt(text);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = processCpuSeconds() - cpuBefore;

    box.setReading(true);
    const QByteArray received = box.waitForBytes(kCharacters + 1, 10000);
    if (received != "\r" + text.toLatin1()) { // SendTxt begins a new line
        std::fprintf(stderr, "the box received %lld bytes, not the %d expected: %s...%s\n",
                     qlonglong(received.size()), kCharacters, received.left(20).toHex().constData(),
                     received.right(20).toHex().constData());
        return 1;
    }
    std::printf("display_pacing_cpu: %.2f %%\n", cpu / elapsed * 100.0);
    return 0;
}
