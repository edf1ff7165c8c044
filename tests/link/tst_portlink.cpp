// The serial port: its settings string and settings window, and opening
// and closing it from the main window over a real pseudo-terminal whose
// master end the test holds as the interface box.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "link/frmProperties.h"
#include "link/PortSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

class PortLinkTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // A main window not yet loaded, so the settings can be prepared first.
    struct Rig : TerminalRig {
        explicit Rig(const TestEnvironment& env) : TerminalRig(env, false, 0.001, false) {}
        // The window, the port's settings and number, the open command,
        // the port picture and the elapsed time.
        QStringList portLabels()
        {
            StatusPanel& s = status();
            const bool clockRuns = terminal->findChild<QTimer*>("Timer1")->isActive();
            return {text().toPlainText(), s.lblStatus1->text(), s.lblCport1->text(), command("lblOpen1")->text(),
                    QString::number(s.imgPort1->picture()), clockRuns ? "timer" : s.lblElapsed->text()};
        }
        // What may be clicked: paste, "Send Text File", the settings.
        QList<bool> enabled()
        {
            return {command("lblPaste")->isEnabled(), command("lblSendText1")->isEnabled(),
                    command("lblProps")->isEnabled()};
        }
    };

private slots:
    void init() { env.reset(); }

    void settingsStrings()
    {
        // The dialog reads its fields by position from the end of the string.
        const QList<QStringList> fields = {
            {"9600,n,8,1", "9600", "2", "8", "1"},   {"9600,n,8,1.5", "9600", "2", "8", "1.5"},
            {"115200,E,7,2", "115200", "0", "7", "2"}, {"300,x,8,1", "300", "-1", "8", "1"},
            {"1,2", "", "-1", "1", "2"}, // too short: nothing readable, no crash
        };
        for (const QStringList& row : fields) {
            const PortDialogFields f = dialogFieldsFromSettings(row[0]);
            QCOMPARE(QStringList({row[0], f.speed, QString::number(f.parityIndex), f.dataBits, f.stopBits}), row);
        }
        // The window's fields back to a string (the window itself takes the
        // common cases below).
        QCOMPARE(settingsFromDialog(" 9600 ", "None", "8 ", "1.5"), QString("9600,N,8,1.5"));
        QCOMPARE(portNumberFromEntry("Com 12"), std::optional<int>(12));

        for (const char* bad : {"9600,n,4,1", "fast,n,8,1", "9600,n,8"})
            QVERIFY2(!parseLineSettings(bad), bad);
        QString error;
        QVERIFY(!parseLineSettings("9600,,8,1", &error));
        QVERIFY(error.contains("parity"));
    }

    void windowShowsAndSavesSettings()
    {
        PtyPair box;
        QVERIFY(box.open());
        SettingsStore settings;
        settings.save("Ports", "Com3", box.slavePath());
        ScriptedDialogs dialogs;
        SerialLink link(settings);
        QVERIFY(link.setSettings("9600,n,8,1.5") && link.setHandshaking(2));

        frmProperties window(link, settings, dialogs);
        window.LoadPropertySettings(1);
        // Only the mapped pseudo-terminal opens on this machine (unless it
        // has real ports, which come first in the list).
        QVERIFY(window.cboPort->findText("Com 3") >= 0);
        QCOMPARE(QStringList({window.cboSpeed->currentText(), window.cboParity->currentText(),
                              window.cboDataBits->currentText(), window.cboStopBits->currentText()}),
                 QStringList({"9600", "None", "8", "1.5"}));
        QVERIFY(window.optFlow[2]->isChecked() && !window.chkReopenPort->isChecked() && !link.isOpen());
        QCOMPARE(window.lblSettings->text(), QString("9600,n,8,1.5   Port:  1  Flow  2"));
        QCOMPARE(window.chkReopenPort->text(), QString("Reopen the port when the adapter returns"));

        window.cboPort->setCurrentIndex(window.cboPort->findText("Com 3"));
        window.cboSpeed->setCurrentText("1200");
        window.cboParity->setCurrentText("Even");
        window.cboDataBits->setCurrentText("7");
        window.cboStopBits->setCurrentText("2");
        window.optFlow[1]->setChecked(true);
        window.chkReopenPort->setChecked(true);
        window.lblOK_Click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(link.portNumber(), 3);
        QCOMPARE(QStringList({settings.get("Properties", "Settings"), settings.get("Properties", "CommPort"),
                              settings.get("Properties", "Handshaking"), settings.get("Properties", "ReopenPort")}),
                 QStringList({"1200,E,7,2", "3", "1", "1"}));
        QVERIFY(dialogs.asked.isEmpty());

        // The next window shows the tick; left by Exit, it keeps nothing.
        frmProperties again(link, settings, dialogs);
        again.LoadPropertySettings(1);
        QVERIFY(again.chkReopenPort->isChecked());
        again.chkReopenPort->setChecked(false);
        again.lblExit_Click();
        QCOMPARE(settings.get("Properties", "ReopenPort"), QString("1"));
    }

    void emptyPortListAndRefusedSettings()
    {
        SettingsStore settings;
        ScriptedDialogs dialogs;
        SerialLink link(settings);
        QVERIFY(link.setPortNumber(5));
        frmProperties window(link, settings, dialogs);
        window.LoadPropertySettings(1);
        if (window.cboPort->count() == 0) {
            // No port at all: the two messages of the scan.
            QCOMPARE(dialogs.texts(), QStringList({"No Comm port found.", "Ceck cable, connectors and equipment"}));
            QCOMPARE(dialogs.asked[1].icon, Dialogs::Icon::Critical);
        }
        dialogs.clear();
        window.cboPort->clear();
        window.lblOK_Click();
        QCOMPARE(QString::number(link.portNumber()) + settings.get("Properties", "CommPort"), QString("55"));

        // A data-bits value the line cannot take: message, nothing stored,
        // the window stays open.
        settings.save("Properties", "Settings", "");
        window.setResult(0);
        window.cboDataBits->setCurrentText("4");
        window.lblOK_Click();
        QVERIFY(dialogs.asked.size() == 1 && dialogs.asked[0].icon == Dialogs::Icon::Exclamation);
        QVERIFY(settings.get("Properties", "Settings").isEmpty() && window.result() == 0);
    }

    void openCloseAndChoosePort()
    {
        Rig rig(env);
        rig.settings.save("Properties", "Settings", "1200,e,7,2");
        rig.terminal->Form_Load({});
        frmTerminal& t = *rig.terminal;
        QCOMPARE(t.link().settings(), QString("1200,e,7,2"));
        QCOMPARE(rig.enabled(), QList<bool>({false, false, true}));

        // Open: the stored settings give way to 9600,n,8,1; one CR to the box.
        rig.click("lblOpen1");
        QVERIFY(t.link().isOpen());
        QCOMPARE(rig.portLabels(),
                 QStringList({"Terminal Ready ", "9600,n,8,1", "Com:  1", "Close Port", "1", "timer"}));
        QCOMPARE(rig.enabled(), QList<bool>({true, true, false}));
        QCOMPARE(rig.box.waitForBytes(1, 2000), QByteArray("\r"));
        QCOMPARE(rig.status().imgTX->picture(), 1); // the CR went out: the transmit lamp is lit
        rig.click("lblProps"); // while open: nothing (no message at the end either)

        rig.click("lblOpen1");
        QVERIFY(!t.link().isOpen());
        QCOMPARE(rig.portLabels(),
                 QStringList({"Terminal Closed ", "Closed 1", "Com: Unknown", "Open Port ", "2", "Off Line"}));
        QCOMPARE(rig.enabled(), QList<bool>({false, false, true}));
        // Exactly one CR reached the box over the whole open and close.
        QCOMPARE(rig.box.readFor(200), QByteArray());
        QVERIFY(rig.dialogs.asked.isEmpty());

        // The port label follows a port chosen in the settings window only
        // when the choice is saved: the window with Com 3 chosen, left by `leave`.
        rig.settings.save("Ports", "Com3", rig.box.slavePath());
        const auto settingsWindow = [&](void (frmProperties::*leave)()) {
            QTimer::singleShot(0, rig.terminal.get(), [leave] {
                auto* window = qobject_cast<frmProperties*>(QApplication::activeModalWidget());
                QVERIFY(window);
                window->cboPort->setCurrentIndex(window->cboPort->findText("Com 3"));
                (window->*leave)();
            });
            rig.click("lblProps");
        };
        settingsWindow(&frmProperties::lblExit_Click);
        QCOMPARE(rig.status().lblCport1->text(), QString("Com: Unknown"));
        settingsWindow(&frmProperties::lblOK_Click);
        QCOMPARE(rig.status().lblCport1->text(), QString("Com:  3"));
    }

    void portThatCannotOpenOrVanishes()
    {
        Rig rig(env);
        const QString boxPath = rig.box.slavePath();
        rig.settings.save("Ports", "Com1", env.folder() + "/no-such-device");
        rig.terminal->Form_Load({});
        frmTerminal& t = *rig.terminal;
        rig.click("lblOpen1");
        QVERIFY(!t.link().isOpen() && rig.dialogs.asked.size() == 1);
        QVERIFY(rig.dialogs.asked[0].icon == Dialogs::Icon::Exclamation && rig.dialogs.asked[0].text.contains("no-such-device"));
        QCOMPARE(rig.portLabels()[1], QString("Closed 1"));

        // The box goes while the port is open, in the middle of a steady
        // line: closed, said once, and no busy loop afterwards. The message
        // names the port and the real cause, not a left-over error of some
        // earlier call.
        rig.dialogs.clear();
        rig.settings.save("Ports", "Com1", boxPath);
        rig.click("lblOpen1");
        QVERIFY(t.link().isOpen());
        rig.box.waitForBytes(1, 2000);
        for (int i = 0; i < 20; ++i) {
            rig.box.write("hello ");
            QTest::qWait(5);
        }
        rig.box.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!t.link().isOpen(), 3000);
        QCOMPARE(rig.portLabels().mid(1, 4), QStringList({"Closed 1", "Com: Unknown", "Open Port ", "2"}));
        QCOMPARE(rig.enabled(), QList<bool>({false, false, true}));
        const double cpuSpent = cpuSecondsWhileWaiting(600);
        QVERIFY2(cpuSpent < 0.3, qPrintable(QString("CPU %1 s while idle").arg(cpuSpent)));
        QVERIFY(rig.dialogs.asked.size() == 1 && rig.dialogs.asked[0].icon == Dialogs::Icon::Exclamation);
        QCOMPARE(rig.dialogs.asked[0].text,
                 QString("The serial port Com 1 (%1) stopped working and has been closed: the device hung up.\n"
                         "Check the cable and the interface box, then open the port again.")
                     .arg(boxPath));
    }

    void exitDrainsTheOutputFirst()
    {
        Rig rig(env);
        rig.terminal->Form_Load({});
        rig.terminal->show();
        rig.click("lblOpen1");
        QSignalSpy ended(rig.terminal.get(), &frmTerminal::programEnded);
        rig.state.HeadlineSelect = 2;
        rig.click("lblExit");
        QCOMPARE(ended.count(), 1);
        QVERIFY(rig.dialogs.asked.isEmpty() && !rig.terminal->link().isOpen() && !rig.terminal->isVisible());
        QCOMPARE(rig.settings.get("HeadlineSelect", "Option"), QString("2"));

        // A box that reads nothing: the question comes after the drain time;
        // Abort keeps the program running, Retry waits again, Ignore ends it.
        Rig stuck(env);
        stuck.terminal->Form_Load({});
        stuck.terminal->setDrainSeconds(1);
        stuck.click("lblOpen1");
        stuck.box.setReading(false);
        stuck.terminal->link().send(QString(200000, 'x'));
        QVERIFY(stuck.terminal->link().bytesToWrite() > 0);
        QSignalSpy stuckEnded(stuck.terminal.get(), &frmTerminal::programEnded);
        stuck.dialogs.answers = {Dialogs::Answer::Abort};
        QVERIFY(!stuck.terminal->unload());
        QCOMPARE(stuck.dialogs.texts(), QStringList({"Data cannot be sent"}));
        QVERIFY(stuck.dialogs.asked[0].buttons == Dialogs::Buttons::AbortRetryIgnore
                && stuck.dialogs.asked[0].icon == Dialogs::Icon::Question);
        QVERIFY(stuck.terminal->link().isOpen() && stuckEnded.isEmpty());
        stuck.dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Ignore};
        QVERIFY(stuck.terminal->unload());
        QCOMPARE(stuck.dialogs.asked.size(), 3);
        QVERIFY(!stuck.terminal->link().isOpen() && stuckEnded.count() == 1);
    }
};

VORNAK_TEST_MAIN(PortLinkTest)

#include "tst_portlink.moc"
