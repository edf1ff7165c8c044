// SendTxt over a pseudo-terminal, and the cancel window every long
// transmission shares.
#include "support/TerminalRig.h"

#include "app/StatusPanel.h"
#include "text/TransmissionControl.h"

#include <QApplication>
#include <QElapsedTimer>

class SendTxtTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void bytesOnTheLine()
    {
        TerminalRig rig(env);
        // G, r, ü, ß, e, blank, @, blank, K, ö, l, n
        rig.t().SendTxt(QString::fromUtf8("Grüße @ Köln"));
        QCOMPARE(rig.t().status.imgTX->picture(), 2);
        QCOMPARE(rig.received(19), QByteArray("\rGrue\xDF" "e (at) Koe ln"));
        QCOMPARE(rig.t().status.lblAction->text(), QString("Transmitting Text"));
        QVERIFY(!rig.state.StopSend); // SendTxt leaves the stop flag as it set it

        rig.t().SendTxt(QString());
        QCOMPARE(rig.received(1), QByteArray("\r"));

        rig.t().SendTxt(QString::fromUtf8("Ä"));
        QCOMPARE(rig.received(4), QByteArray("\rAe "));

        // Carriage returns of the text are dropped (SendTxt sends its own);
        // line feeds go out.
        rig.t().SendTxt("a\rb\nc");
        QCOMPARE(rig.received(5), QByteArray("\rab\nc"));

        // Typographic signs get their plain spelling, which then goes
        // through the table like the plain sign would.
        rig.t().SendTxt(QString::fromUtf8("„ja“ – 5 €"));
        QCOMPARE(rig.received(13), QByteArray("\r'ja' - 5 EUR"));
        QVERIFY(rig.dialogs.asked.isEmpty());
    }

    void pauseAfterEveryCharacter()
    {
        TerminalRig rig(env, true, 0.05);
        QElapsedTimer clock;
        clock.start();
        // Three characters, one of which sends nothing: three pauses.
        rig.t().SendTxt("a\rb");
        QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.received(3), QByteArray("\rab"));
    }

    void closedPortSendsNothingAndDoesNotWait()
    {
        TerminalRig rig(env, false, 1.0);
        QElapsedTimer clock;
        clock.start();
        rig.t().SendTxt("a text that would take long");
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(rig.dialogs.asked.isEmpty());
    }

    void boxVanishesMidSend()
    {
        TerminalRig rig(env, true, 0.05);
        QTimer::singleShot(300, &rig.box, [&] { rig.box.closeMaster(); });
        QElapsedTimer clock;
        clock.start();
        rig.t().SendTxt(QString(200, 'x')); // ten seconds of text
        // The send ended with the line, long before its text was through.
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!rig.t().link().isOpen());
        QCOMPARE(rig.dialogs.asked.size(), 1); // the lost port, said once
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.t().status.imgTX->picture(), 2);
        QVERIFY(!rig.sendCommandsEnabled());
    }

    void cancelWindow()
    {
        TerminalRig rig(env);
        frmCancelSend& window = rig.cancelWindow();
        QCOMPARE(window.windowTitle(), QString("Quillnet"));
        QCOMPARE(window.lblStatus->text(), QString("Transmitting Clipboard Text"));
        QCOMPARE(window.cmdCancel->text(), QString("Cancel"));
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.isWindow());
        QVERIFY(!window.isVisible());

        // While a transmission runs it does not stay minimised ...
        rig.state.StopSend = false;
        window.showForTransmission();
        window.showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible() && !window.isMinimized(), 2000);
        // ... and closing it is taken as Cancel.
        window.close();
        QVERIFY(rig.state.StopSend);
        QVERIFY(window.isVisible());
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
        // Work handed over while a transmission runs waits for its end; a
        // second request meanwhile is not queued twice.
        TerminalRig rig(env);
        TransmissionControl& control = rig.t().textPart().control();
        QStringList order;
        QTimer::singleShot(20, &control, [&] {
            order << "asked";
            QVERIFY(control.busy());
            QVERIFY(control.runWhenFree([&] { order << "ran"; }));
            QVERIFY(!control.runWhenFree([&] { order << "twice"; }));
        });
        rig.state.CharDelay = 0.01;
        rig.t().SendTxt(QString(20, 'x'));
        order << "sent";
        QTRY_COMPARE_WITH_TIMEOUT(order, QStringList({"asked", "sent", "ran"}), 2000);
        QVERIFY(!control.busy());
        // With the line free it runs at once.
        QVERIFY(control.runWhenFree([&] { order << "now"; }));
        QCOMPARE(order.last(), QString("now"));
    }
};

int main(int argc, char** argv)
{
    SendTxtTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sendtxt.moc"
