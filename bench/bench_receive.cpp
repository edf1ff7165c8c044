// Receive throughput: 1 MiB of text (a CR LF every 60 characters) handed in
// 64-byte chunks to the comm event handler of the live terminal window, with
// the window shown (offscreen) and the event loop run after each chunk, so
// drawing and trimming are paid for as they are on a real line. The time
// ends when the last text is on the screen and drawn.
//
// Prints receive_throughput (MiB/s) and receive_vs_line_rate, the ratio to
// the 11,520 bytes per second a 115200-baud line can carry at most.
#include "BenchTerminal.h"
#include "core/EventWait.h"
#include "link/ReceivePath.h"
#include "link/TerminalText.h"


#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    BenchFolder folder;
    QApplication app(argc, argv);

    BenchTerminal bench(folder.path);
    frmTerminal& terminal = bench.window;
    terminal.show();
    EventWait::breathe();

    constexpr int kTotal = 1 << 20;
    constexpr int kChunk = 64;
    QByteArray text;
    text.reserve(kTotal);
    for (int i = 0; text.size() < kTotal; ++i)
        text += (i % 62 >= 60) ? (i % 62 == 60 ? '\r' : '\n') : char('a' + i % 26);
    text.truncate(kTotal);

    ReceivePath& receive = *terminal.findChild<ReceivePath*>();
    QElapsedTimer clock;
    clock.start();
    for (int at = 0; at < kTotal; at += kChunk) {
        receive.onCommEvent(2, text.mid(at, kChunk));
        EventWait::breathe();
    }
    // The last text on the screen and drawn.
    terminal.terminal().showPending();
    terminal.terminal().viewport()->repaint();
    const double seconds = clock.nsecsElapsed() / 1e9;

    const double mibPerSecond = kTotal / double(1 << 20) / seconds;
    const double lineRate = 115200.0 / 10.0; // bytes per second, 8N1
    std::printf("receive_throughput: %.2f MiB/s\n", mibPerSecond);
    std::printf("receive_vs_line_rate: %.0f x\n", kTotal / seconds / lineRate);
    std::printf("receive_window_characters: %d chars\n", terminal.terminal().lineLength());
    return 0;
}
