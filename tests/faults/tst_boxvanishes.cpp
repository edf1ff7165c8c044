// The interface box vanishing in the middle of each kind of transmission:
// the real vornak-box is killed while it takes a paste, a text file, the
// KLKL answer, the broadcast receiver list and a punched tape. Each time the
// program notices the lost line, says so once, ends the transmission, leaves
// the files as they were and works again as soon as a box is back; nothing
// of the broken transmission reaches the new line.
#include "support/BoxProgram.h"
#include "support/TestMain.h"
#include "text/TransmissionRig.h"

#include "faults/FolderFaults.h"
#include "lists/BroadcastSending.h"
#include "puncher/PunchPanel.h"
#include "puncher/PuncherPart.h"
#include "text/KlklAnswer.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kLostPort = QStringLiteral("The serial port Com 1 (");

// Files a transmission writes on purpose before it sends, and the box's
// own records, kept beside the program's files.
const QStringList kChangingFiles = {"clipboard.txt", "SendFile.txt", "klkl-Temp.txt", "box.log", "box.raw", "box.path"};

} // namespace

class BoxVanishesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void eachTransmissionEndsWithTheLine_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"paste", "text file", "klkl answer", "broadcast list", "punch"})
            QTest::newRow(kind) << QString(kind);
    }

    void eachTransmissionEndsWithTheLine()
    {
        QFETCH(QString, kind);
        // Long enough that every transmission is still running when the box
        // goes: a thousand words, two hundred receivers, a long tape.
        const QByteArray words = QByteArray("vanishing words ").repeated(1000);
        env.writeFile("\\klkl.txt", words);
        QByteArray receivers;
        for (int i = 0; i < 200; ++i)
            receivers += QByteArray::number(10000 + i) + (i == 199 ? "+\r\n" : ",\r\n");
        env.writeFile("\\RSend.txt", receivers);
        const QString chosen = userFile(env, "long.txt", words);

        BoxProgram box(env);
        QVERIFY2(!box.device.isEmpty(), "vornak-box did not start");
        TerminalRig rig(env, false, 0.002, false);
        rig.settings.save("Ports", "Com1", box.device);
        rig.t().Form_Load({});
        rig.state.CharDelay = 0.002;
        rig.click("lblOpen1");
        QVERIFY(rig.t().link().isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!box.received().isEmpty(), 5000);
        const FolderBytes before = folderBytes(env.folder());
        const qsizetype openingBytes = box.received().size();

        // The box is killed once the transmission's bytes are arriving.
        bool killed = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const QByteArray got = box.received().mid(openingBytes);
            const bool under_way = kind == "broadcast list" ? got.contains("10005,") : got.size() >= 40;
            if (under_way && !killed) {
                killed = true;
                box.process.kill();
            }
        });
        watch.start(10);

        TextTransmissions& texts = rig.part<TextTransmissions>();
        if (kind == "paste") {
            rig.state.ConnectionActive = true;
            rig.state.PreviewMode = false;
            QGuiApplication::clipboard()->setText(QString::fromLatin1(words));
            rig.click("lblPaste");
        } else if (kind == "text file") {
            rig.state.ConnectionActive = true;
            rig.dialogs.files = {chosen};
            rig.click("lblSendText1");
        } else if (kind == "klkl answer") {
            // The far side asks; the answer starts from the receive path.
            rig.state.KlklAuto = true;
            box.process.write("/klkl\n");
        } else if (kind == "broadcast list") {
            // Dialled through the service command; the service's prompt
            // starts the list.
            rig.dialogs.answers = {Dialogs::Answer::Yes};
            rig.click("lblRSend_1");
        } else {
            rig.state.ConnectionActive = true;
            PuncherPart& puncher = rig.part<PuncherPart>();
            rig.click("lblPuncher");
            puncher.frmPunch->txtInput->setText(QString("VANISHING TAPE ").repeated(20));
            QTest::mouseClick(puncher.frmPunch->cmdPunch, Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(killed, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.t().link().isOpen(), 10000);
        watch.stop();
        // A transmission started by the receive path ends on its own.
        QTRY_VERIFY_WITH_TIMEOUT(!rig.state.KlklBusy && !texts.control().busy() && !rig.state.RSendPending, 10000);

        // The loss, said once; no other message, no false confirmation.
        const int questions = kind == "text file" || kind == "broadcast list" ? 1 : 0;
        QCOMPARE(rig.dialogs.asked.size(), questions + 1);
        const ScriptedDialogs::Asked lost = rig.dialogs.asked.last();
        QVERIFY2(lost.text.startsWith(kLostPort) && lost.icon == Dialogs::Icon::Exclamation,
                 qPrintable(rig.dialogs.texts().join(" | ")));
        QVERIFY(rig.state.StopSend && !rig.cancelWindow().isVisible());
        QCOMPARE(changedFile(before, folderBytes(env.folder()), kChangingFiles), QString());

        // A box again: the port opens, every command is back, and nothing of
        // the broken transmission follows on the new line.
        PtyPair again;
        QVERIFY(again.open());
        rig.settings.save("Ports", "Com1", again.slavePath());
        rig.click("lblOpen1");
        QVERIFY(rig.t().link().isOpen());
        QCOMPARE(again.waitForBytes(1, 2000), QByteArray("\r"));
        QCOMPARE(again.readFor(1000), QByteArray());
        QVERIFY(rig.sendCommandsEnabled());
        for (const char* name : {"lblPuncher", "lblRSend_1", "lblRsend_2", "lblSendNumbers", "LblCall"})
            QVERIFY2(rig.command(name)->isEnabled(), name);
        QCOMPARE(rig.dialogs.asked.last().text, lost.text);
    }
};

VORNAK_TEST_MAIN(BoxVanishesTest)

#include "tst_boxvanishes.moc"
