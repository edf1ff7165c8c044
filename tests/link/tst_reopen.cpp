// Reopening the port when its device comes back after it vanished: finding
// the same device again, and the real window over pseudo-terminals made
// anew behind a path the test owns.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "link/PortCommands.h"
#include "link/PortWatcher.h"

#include <QFile>

class ReopenTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // A main window whose Com 1 is a link the test points at a new
    // pseudo-terminal whenever the "adapter" comes back.
    struct Rig : TerminalRig {
        QString linkPath;
        std::unique_ptr<PtyPair> device;

        Rig(const TestEnvironment& env, bool reopen) : TerminalRig(env, false, 0.001, false), linkPath(env.folder() + "/ttyBox")
        {
            settings.save("Ports", "Com1", linkPath);
            settings.save("Properties", "ReopenPort", reopen ? "1" : "0");
            plugIn();
            terminal->Form_Load({});
            click("lblOpen1");
            if (device->waitForBytes(1, 2000) != QByteArray("\r"))
                qWarning("the port did not open");
        }
        void plugIn()
        {
            device = std::make_unique<PtyPair>();
            device->open();
            QFile::remove(linkPath);
            QFile::link(device->slavePath(), linkPath);
        }
        // The adapter pulled: the device and its node go. The link goes too,
        // as a real device node does: left dangling, it would come alive
        // again when another program is given the same pseudo-terminal.
        void pullOut()
        {
            QFile::remove(linkPath);
            device.reset();
        }
        PortWatcher& watcher() { return part<PortCommands>().watcher(); }
        bool isOpen() { return terminal->link().isOpen(); }
    };

private slots:
    void init() { env.reset(); }

    void findingTheSameDevice()
    {
        const PortListing ftdi{"/dev/ttyUSB0", "FT123", 0x0403, 0x6001};
        const PortListing prolific{"/dev/ttyUSB1", "", 0x067b, 0x2303};
        const PortListing builtIn{"/dev/ttyS0", "", {}, {}};
        const QList<PortListing> ports = {ftdi, prolific, builtIn};
        const auto moved = [](PortListing port, const QString& location) {
            port.location = location;
            return port;
        };

        const PortIdentity byserial = identifyPort("/dev/ttyUSB0", false, ports);
        const PortIdentity byIds = identifyPort("/dev/ttyUSB1", false, ports);
        const PortIdentity byPlace = identifyPort("/dev/ttyS0", false, ports);
        QVERIFY(byserial.serialNumber == "FT123" && byserial.hasUsbIds() && !byserial.isMapped());
        QVERIFY(byIds.serialNumber.isEmpty() && byIds.hasUsbIds() && !byPlace.hasUsbIds());
        // Found again by its serial number (not another adapter of the same
        // make); by its USB ids when only one alike is listed, or one stands
        // where it was (two alike elsewhere would be a guess); by its place.
        PortListing sameKind = moved(ftdi, "/dev/ttyUSB0");
        sameKind.serialNumber = "FT999";
        const std::tuple<const PortIdentity*, QList<PortListing>, QString> found[] = {
            {&byserial, {moved(ftdi, "/dev/ttyUSB2"), prolific}, "/dev/ttyUSB2"},
            {&byserial, {sameKind}, ""},
            {&byserial, {}, ""},
            {&byIds, {ftdi, moved(prolific, "/dev/ttyUSB3")}, "/dev/ttyUSB3"},
            {&byIds, {moved(prolific, "/dev/ttyUSB3"), moved(prolific, "/dev/ttyUSB4")}, ""},
            {&byIds, {moved(prolific, "/dev/ttyUSB4"), prolific}, "/dev/ttyUSB1"},
            {&byPlace, {ftdi, builtIn}, "/dev/ttyS0"},
            {&byPlace, {ftdi}, ""}};
        for (const auto& [identity, listed, location] : found)
            QCOMPARE(locatePort(*identity, listed), location);

        const PortIdentity mapped = identifyPort(env.folder() + "/box", true, ports);
        QVERIFY(mapped.isMapped() && !mapped.hasUsbIds() && mapped.mappedPath == env.folder() + "/box");
    }

    // The watcher does not take the dead device's node, while it still
    // stands, for the device coming back; a new node, or a device from the
    // list after it was missing, is.
    void watcherWaitsForANewDevice()
    {
        const QString path = env.folder() + "/node";
        env.writeFile("\\node", "old");
        PortWatcher watcher;
        watcher.setCheckInterval(20);
        QSignalSpy returned(&watcher, &PortWatcher::deviceReturned);
        watcher.remember(path, path);
        watcher.watch();
        QTRY_VERIFY(watcher.checks() >= 3);
        QCOMPARE(returned.count(), 0);
        QFile::remove(path);
        env.writeFile("\\node", "new");
        QTRY_VERIFY(returned.count() >= 1);
        QCOMPARE(returned[0][0].toString(), path);
        watcher.stop();

        QList<PortListing> listed = {{"/dev/ttyUSB0", "A1", 1, 2}};
        watcher.setPortListing([&] { return listed; });
        watcher.remember("/dev/ttyUSB0", QString());
        returned.clear();
        watcher.watch();
        listed.clear();
        QTRY_VERIFY(watcher.checks() >= 2);
        QCOMPARE(returned.count(), 0);
        listed = {{"/dev/ttyUSB1", "A1", 1, 2}};
        // Said at each check while it is back, until the watch stops.
        QTRY_VERIFY(returned.count() >= 2);
        watcher.stop();
        for (const QList<QVariant>& signal : std::as_const(returned))
            QCOMPARE(signal[0].toString(), QString("/dev/ttyUSB1"));
    }

    void reopensWhenTheDeviceReturns()
    {
        Rig rig(env, true);
        rig.device->write("before\r\n");
        QTRY_VERIFY(rig.text().lineText().contains("before"));
        rig.dialogs.clear();

        rig.pullOut();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.isOpen(), 5000);
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QVERIFY(rig.dialogs.asked[0].text.endsWith("The port opens again by itself as soon as the device is back."));
        QVERIFY(rig.watcher().isWatching() && rig.command("lblOpen1")->text() == "Open Port ");

        // Waiting costs next to nothing.
        const double cpuSpent = cpuSecondsWhileWaiting(3 * PortWatcher::kCheckMs);
        QVERIFY2(cpuSpent < 0.15, qPrintable(QString("CPU %1 s while watching").arg(cpuSpent)));
        QVERIFY(rig.watcher().checks() >= 2 && !rig.isOpen());

        // Back: opened at the first check after, with the same settings,
        // said in the status line and the window, and nothing sent.
        rig.plugIn();
        const int checksBefore = rig.watcher().checks();
        QTRY_VERIFY_WITH_TIMEOUT(rig.isOpen(), 10000);
        QCOMPARE(rig.watcher().checks(), checksBefore + 1);
        QVERIFY(!rig.watcher().isWatching() && rig.command("lblSendText1")->isEnabled());
        QCOMPARE(QStringList({rig.command("lblOpen1")->text(), rig.status().lblStatus1->text(),
                              QString::number(rig.status().imgPort1->picture()), rig.action()}),
                 QStringList({"Close Port", "9600,n,8,1", "1", "Port reopened: Com 1 (" + rig.linkPath + ")"}));
        QVERIFY(rig.text().lineText().contains("before")
                && rig.text().lineText().endsWith("\r\nTerminal Closed \r\nTerminal Ready "));
        QCOMPARE(rig.device->readFor(300), QByteArray());
        QCOMPARE(rig.dialogs.asked.size(), 1);

        // Received text flows again, and what is typed goes out.
        rig.device->write("after\r\n");
        QTRY_VERIFY(rig.text().lineText().contains("after"));
        rig.terminal->link().send("x");
        QCOMPARE(rig.device->waitForBytes(1, 2000), QByteArray("x"));

        // Closed by the user: nothing is watched for.
        rig.click("lblOpen1");
        rig.pullOut();
        rig.plugIn();
        QVERIFY(!rig.watcher().isWatching());
    }

    void staysClosedWhenNotWanted()
    {
        // Not wanted: nothing watches for the device (the message, without
        // a word of reopening, is checked with the port tests).
        Rig rig(env, false);
        rig.pullOut();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.isOpen(), 5000);
        QVERIFY(!rig.watcher().isWatching());

        // Switched off while the watch was on: the device coming back is
        // left alone, and the watch ends.
        Rig other(env, true);
        other.pullOut();
        QTRY_VERIFY_WITH_TIMEOUT(!other.isOpen(), 5000);
        QVERIFY(other.watcher().isWatching());
        other.settings.save("Properties", "ReopenPort", "0");
        other.plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(!other.watcher().isWatching(), 5000);
        QVERIFY(!other.isOpen());
    }
};

VORNAK_TEST_MAIN(ReopenTest)
#include "tst_reopen.moc"
