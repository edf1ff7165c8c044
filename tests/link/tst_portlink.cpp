// Opening and closing the serial port from the main window, over a real
// pseudo-terminal whose master end the test holds as the interface box.
#include "support/TerminalRig.h"

#include "PtyPair.h"

#include "link/TerminalText.h"

#include <QApplication>
#include <QtTest>
#include <sys/resource.h>

namespace {

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class PortLinkTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig : TerminalRig {
        explicit Rig(const TestEnvironment& env) : TerminalRig(env, false, 0.001, false) {}
    };

private slots:
    void init() { env.reset(); }

    void openThenClose()
    {
        Rig rig(env);
        rig.settings.save("Properties", "Settings", "1200,e,7,2");
        rig.terminal->Form_Load({});
        frmTerminal& t = *rig.terminal;
        QCOMPARE(t.link().settings(), QString("1200,e,7,2"));
        QCOMPARE(t.lblOpen1->text(), QString("Open Port "));
        QVERIFY(!t.lblPaste->isEnabled());

        t.lblOpen1_Click();
        QVERIFY(t.link().isOpen());
        QCOMPARE(t.txtTerm->toPlainText(), QString("Terminal Ready "));
        QCOMPARE(t.lblStatus1->text(), QString("9600,n,8,1")); // the stored settings are overridden
        QCOMPARE(t.lblCport1->text(), QString("Com:  1"));
        QCOMPARE(t.lblOpen1->text(), QString("Close Port"));
        QCOMPARE(t.imgPort1->picture(), 1);
        QVERIFY(!t.lblProps->isEnabled());
        for (QWidget* command : {static_cast<QWidget*>(t.lblSendText1), static_cast<QWidget*>(t.lblPaste),
                                 static_cast<QWidget*>(t.lblSendHeader), static_cast<QWidget*>(t.lblSendMessage),
                                 static_cast<QWidget*>(t.lblSendHeadlines), static_cast<QWidget*>(t.lblPuncher)})
            QVERIFY(command->isEnabled());
        QVERIFY(t.Timer1.isActive());
        QCOMPARE(rig.box.waitForBytes(1, 2000), QByteArray("\r"));

        // Clicking the settings command while open does nothing.
        t.lblProps_Click();
        QVERIFY(rig.dialogs.asked.isEmpty());

        t.lblOpen1_Click();
        QVERIFY(!t.link().isOpen());
        QCOMPARE(t.txtTerm->toPlainText(), QString("Terminal Closed "));
        QCOMPARE(t.lblStatus1->text(), QString("Closed 1"));
        QCOMPARE(t.lblCport1->text(), QString("Com: Unknown"));
        QCOMPARE(t.lblOpen1->text(), QString("Open Port "));
        QCOMPARE(t.lblElapsed->text(), QString("Off Line"));
        QCOMPARE(t.imgPort1->picture(), 2);
        QVERIFY(t.lblProps->isEnabled());
        QVERIFY(!t.lblPaste->isEnabled());
        QVERIFY(!t.lblSendMessage->isEnabled());
        QVERIFY(!t.Timer1.isActive());
        // Exactly one CR reached the box over the whole open and close.
        QCOMPARE(rig.box.readFor(200), QByteArray());
        QVERIFY(rig.dialogs.asked.isEmpty());
    }

    void portThatCannotOpen()
    {
        Rig rig(env);
        rig.settings.save("Ports", "Com1", env.folder() + "/no-such-device");
        rig.terminal->Form_Load({});
        rig.terminal->lblOpen1_Click();
        QVERIFY(!rig.terminal->link().isOpen());
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked[0].text.contains("no-such-device"));
        QCOMPARE(rig.terminal->lblStatus1->text(), QString("Closed 1"));
        QCOMPARE(rig.terminal->lblOpen1->text(), QString("Open Port "));
    }

    void boxVanishesWhileOpen()
    {
        Rig rig(env);
        rig.terminal->Form_Load({});
        frmTerminal& t = *rig.terminal;
        t.lblOpen1_Click();
        QVERIFY(t.link().isOpen());
        rig.box.waitForBytes(1, 2000);
        rig.box.write("hello");
        QTest::qWait(100);

        rig.box.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!t.link().isOpen(), 3000);
        QCOMPARE(t.lblStatus1->text(), QString("Closed 1"));
        QCOMPARE(t.lblOpen1->text(), QString("Open Port "));
        QCOMPARE(t.imgPort1->picture(), 2);
        QVERIFY(t.lblProps->isEnabled());

        // No busy loop afterwards: the process sleeps while it waits.
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(600);
        const double cpuSpent = processCpuSeconds() - cpuBefore;
        QVERIFY2(cpuSpent < 0.3, qPrintable(QString("CPU %1 s while idle").arg(cpuSpent)));
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked[0].text.contains(rig.box.slavePath()));

        // The port can be opened again once the box is back.
        PtyPair again;
        QVERIFY(again.open());
        rig.settings.save("Ports", "Com1", again.slavePath());
        t.lblOpen1_Click();
        QVERIFY(t.link().isOpen());
        QCOMPARE(again.waitForBytes(1, 2000), QByteArray("\r"));
    }

    void exitWithNothingUnsent()
    {
        Rig rig(env);
        rig.terminal->Form_Load({});
        rig.terminal->show();
        rig.terminal->lblOpen1_Click();
        QSignalSpy ended(rig.terminal.get(), &frmTerminal::programEnded);
        rig.state.HeadlineSelect = 2;
        QElapsedTimer clock;
        clock.start();
        rig.terminal->lblExit_Click();
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(ended.count(), 1);
        QVERIFY(rig.dialogs.asked.isEmpty());
        QVERIFY(!rig.terminal->link().isOpen());
        QVERIFY(!rig.terminal->isVisible());
        QCOMPARE(rig.settings.get("HeadlineSelect", "Option"), QString("2"));
    }

    void exitWithOutputStuck()
    {
        // The box reads nothing, so the output cannot drain: the question
        // comes after the drain time; Abort keeps the program running,
        // Retry waits again, Ignore ends it.
        Rig rig(env);
        rig.terminal->Form_Load({});
        rig.terminal->setDrainSeconds(1);
        rig.terminal->show();
        rig.terminal->lblOpen1_Click();
        rig.box.setReading(false);
        rig.terminal->SendToBox(QString(200000, 'x'));
        QVERIFY(rig.terminal->link().bytesToWrite() > 0);
        QSignalSpy ended(rig.terminal.get(), &frmTerminal::programEnded);

        rig.dialogs.answers = {Dialogs::Answer::Abort};
        QVERIFY(!rig.terminal->unload());
        QCOMPARE(rig.dialogs.texts(), QStringList({"Data cannot be sent"}));
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::AbortRetryIgnore);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Question);
        QVERIFY(rig.terminal->link().isOpen());
        QCOMPARE(ended.count(), 0);

        rig.dialogs.clear();
        rig.dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Ignore};
        QVERIFY(rig.terminal->unload());
        QCOMPARE(rig.dialogs.asked.size(), 2);
        QVERIFY(!rig.terminal->link().isOpen());
        QCOMPARE(ended.count(), 1);
    }
};

int main(int argc, char** argv)
{
    PortLinkTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portlink.moc"
