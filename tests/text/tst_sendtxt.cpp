// SendTxt over a pseudo-terminal, and the cancel window every long
// transmission shares.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "core/StatusPanel.h"
#include "text/Pause.h"
#include "text/TransmissionControl.h"

#include <QElapsedTimer>

class SendTxtTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void bytesPaceAndTheLineGoing()
    {
        // Table B with its blank after ö; carriage returns of the text are
        // dropped (SendTxt sends its own), line feeds go out; typographic
        // signs get their plain spelling, which then goes through the table
        // like the plain sign would.
        TerminalRig rig(env);
        const std::pair<QString, QByteArray> cases[] = {
            {QString::fromUtf8("Grüße @ Köln"), "\rGrue\xDF" "e (at) Koe ln"}, {"", "\r"},
            {QString::fromUtf8("Ä"), "\rAe "}, {"a\rb\nc", "\rab\nc"}, {QString::fromUtf8("„ja“ – 5 €"), "\r'ja' - 5 EUR"}};
        for (const auto& [text, bytes] : cases) {
            rig.SendTxt(text);
            QCOMPARE(rig.received(bytes.size()), bytes);
        }
        // The transmit lamp goes dark with the clock tick once all is out.
        rig.t().Timer3_Timer();
        QCOMPARE(rig.status().imgTX->picture(), 2);
        QCOMPARE(rig.action(), QString("Transmitting Text"));
        QVERIFY(!rig.state.StopSend); // SendTxt leaves the stop flag as it set it
        QVERIFY(rig.dialogs.asked.isEmpty());

        // Three characters, one of which sends nothing: three pauses.
        rig.state.CharDelay = 0.05;
        QElapsedTimer clock;
        clock.start();
        rig.SendTxt("a\rb");
        QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.received(3), QByteArray("\rab"));

        // The box vanishes a moment into more than an hour of text: the send
        // ends with the line (else the test would run into its time limit),
        // the lost port is said once.
        QTimer::singleShot(300, &rig.box, [&] { rig.box.closeMaster(); });
        rig.SendTxt(QString(100000, 'x'));
        QVERIFY(!rig.t().link().isOpen());
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.status().imgTX->picture(), 2);
        QVERIFY(!rig.sendCommandsEnabled());

        // A closed port sends nothing and does not wait (a thousand seconds a
        // character would outlast the test's time limit).
        rig.state.CharDelay = 1000.0;
        rig.SendTxt("a text that would take long");
        QCOMPARE(rig.dialogs.asked.size(), 1);
    }

    void cancelWindow()
    {
        TerminalRig rig(env);
        frmCancelSend& window = rig.cancelWindow();
        QCOMPARE(window.cmdCancel->text(), QString("Cancel"));
        QVERIFY(window.isWindow() && (window.windowFlags() & Qt::WindowStaysOnTopHint) && !window.isVisible());

        // While a transmission runs it does not stay minimised, and closing
        // it is taken as Cancel.
        rig.state.StopSend = false;
        window.showForTransmission();
        window.showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible() && !window.isMinimized(), 2000);
        window.close();
        QVERIFY(rig.state.StopSend && window.isVisible());
        // Cancel acts during a pause, which itself runs its full time.
        rig.state.StopSend = false;
        QTimer::singleShot(100, &window, [&] { window.cmdCancel->click(); });
        QElapsedTimer clock;
        clock.start();
        Pause(1);
        QVERIFY(rig.state.StopSend && clock.elapsed() >= 1000);
        window.hideAfterTransmission();

        // With nothing running it may be minimised and closed like any window.
        window.show();
        window.showMinimized();
        QTest::qWait(50);
        QVERIFY(window.isMinimized());
        window.close();
        QVERIFY(!window.isVisible());
    }

    void longWorkWaitsForTheLine()
    {
        // Work handed over while a transmission runs waits for its end, in
        // the order it was handed over.
        TerminalRig rig(env, true, 0.01);
        TransmissionControl& control = rig.part<TextTransmissions>().control();
        QStringList order;
        QTimer::singleShot(20, &control, [&] {
            order << (control.busy() ? "asked" : "idle");
            control.runWhenFree([&] { order << "first"; });
            control.runWhenFree([&] { order << "second"; });
        });
        rig.SendTxt(QString(20, 'x'));
        order << "sent";
        QTRY_COMPARE_WITH_TIMEOUT(order, QStringList({"asked", "sent", "first", "second"}), 2000);
        QVERIFY(!control.busy() && !control.hasWaitingJob());
        // With the line free it runs at once.
        control.runWhenFree([&] { order << "now"; });
        QCOMPARE(order.last(), QString("now"));
    }
};

VORNAK_TEST_MAIN(SendTxtTest)

#include "tst_sendtxt.moc"
