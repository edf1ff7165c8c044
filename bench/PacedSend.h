#pragma once

// A paced transmission from the real main window, measured: what the
// pacing benchmarks offscreen and on a display share.

#include "BenchTerminal.h"
#include "PtyPair.h"
#include "core/EventWait.h"
#include "core/Widgets.h"
#include "text/TextTransmissions.h"

#include <QElapsedTimer>
#include <cstdio>
#include <optional>

struct PacedSend {
    double elapsedSeconds = 0;
    double cpuSeconds = 0;
};

// Opens Com 1 to `box`, waits `settleMs` for the window to settle, then
// sends `characters` letters with SendTxt at the window's CharDelay. The
// box end reads only afterwards (the pseudo-terminal holds the bytes), so
// the figures are the program's alone. Nothing when the port did not open
// or the box did not receive the text exactly.
inline std::optional<PacedSend> measurePacedSend(BenchTerminal& bench, PtyPair& box, int characters, int settleMs)
{
    frmTerminal& terminal = bench.window;
    emit terminal.findChild<CommandLabel*>("lblOpen1")->clicked();
    if (box.waitForBytes(1, 5000) != "\r") {
        std::fprintf(stderr, "the port did not open\n");
        return std::nullopt;
    }
    EventWait::forMs(settleMs);

    QString text;
    for (int i = 0; text.size() < characters; ++i)
        text += QChar(i % 7 == 6 ? ' ' : 'a' + i % 26);

    box.setReading(false);
    QElapsedTimer clock;
    const double cpuBefore = processCpuSeconds();
    clock.start();
    terminal.findChild<TextTransmissions*>()->SendTxt(text);
    const PacedSend measured{double(clock.nsecsElapsed()) / 1e9, processCpuSeconds() - cpuBefore};

    box.setReading(true);
    const QByteArray received = box.waitForBytes(characters + 1, 10000);
    if (received != "\r" + text.toLatin1()) { // SendTxt begins a new line
        std::fprintf(stderr, "the box received %lld bytes, not the %d expected\n", qlonglong(received.size()),
                     characters + 1);
        return std::nullopt;
    }
    return measured;
}
