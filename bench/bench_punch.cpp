// What the puncher's paced send costs: 200 characters of lettering punched
// with a pause of 0.01 s after each, the puncher frame open (offscreen) so
// every character's glyph is drawn, through a pseudo-terminal.
//
// Prints:
//   punch_cpu: <percent> %            process CPU time during the punch against the elapsed time
//   punch_pacing_error: <percent> %   elapsed time against the nominal 2 s (+ = slower)
#include "BenchSupport.h"
#include "support/TestHost.h"

#include "core/EventWait.h"
#include "puncher/Lettering.h"
#include "puncher/PunchPanel.h"
#include "puncher/PuncherPart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>

namespace {

constexpr int kCharacters = 200;
constexpr double kCharDelay = 0.01;

} // namespace

int main(int argc, char** argv)
{
    const TestEnvironment env; // before the application: folder, settings, offscreen
    QApplication app(argc, argv);

    TestHost host(env, true);
    if (!host.link().isOpen()) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    PuncherPart puncher(host);
    host.appState.ConnectionActive = true;
    host.appState.CharDelay = kCharDelay;
    host.show();
    puncher.lblPuncher_Click();
    const QString text = "Vornak punches human readable tape 0123456789";
    puncher.frmPunch->txtInput->setText(text);
    // The window's first painting is not the punch's.
    EventWait::forMs(300);

    QString sequence;
    Puncher(text, sequence);
    if (sequence.size() < kCharacters) {
        std::fprintf(stderr, "the lettering is only %lld characters\n", qlonglong(sequence.size()));
        return 1;
    }
    sequence.truncate(kCharacters);

    // The box end reads only afterwards (the pseudo-terminal holds the
    // bytes), so the figures are the puncher's alone.
    host.box.setReading(false);
    QElapsedTimer clock;
    const double cpuBefore = processCpuSeconds();
    clock.start();
    puncher.punchSequence(sequence);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = processCpuSeconds() - cpuBefore;

    host.box.setReading(true);
    const QByteArray received = host.box.waitForBytes(kCharacters, 3000);
    if (received != sequence.toLatin1()) {
        std::fprintf(stderr, "the box received %lld bytes, not the %d punched\n", qlonglong(received.size()),
                     kCharacters);
        return 1;
    }

    const double nominal = kCharacters * kCharDelay;
    std::printf("punch_cpu: %.2f %%\n", cpu / elapsed * 100.0);
    std::printf("punch_pacing_error: %.2f %%\n", (elapsed - nominal) / nominal * 100.0);
    return 0;
}
