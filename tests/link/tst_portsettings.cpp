// The settings string of the serial port and the port settings window.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestMain.h"

#include "core/SettingsStore.h"
#include "link/frmProperties.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "PtyPair.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

class PortSettingsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

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
        QVERIFY(window.optFlow[2]->isChecked() && !link.isOpen());
        QCOMPARE(window.lblSettings->text(), QString("9600,n,8,1.5   Port:  1  Flow  2"));

        window.cboPort->setCurrentIndex(window.cboPort->findText("Com 3"));
        window.cboSpeed->setCurrentText("1200");
        window.cboParity->setCurrentText("Even");
        window.cboDataBits->setCurrentText("7");
        window.cboStopBits->setCurrentText("2");
        window.optFlow[1]->setChecked(true);
        window.lblOK_Click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(link.portNumber(), 3);
        QCOMPARE(QStringList({settings.get("Properties", "Settings"), settings.get("Properties", "CommPort"),
                              settings.get("Properties", "Handshaking")}),
                 QStringList({"1200,E,7,2", "3", "1"}));
        QVERIFY(dialogs.asked.isEmpty());
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
};

VORNAK_TEST_MAIN(PortSettingsTest)

#include "tst_portsettings.moc"
