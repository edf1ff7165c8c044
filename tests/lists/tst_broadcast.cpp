// A broadcast: dialling a service, the service asking for its receivers,
// and the receiver list going out, over a pseudo-terminal.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

class BroadcastTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig : TerminalRig {
        explicit Rig(const TestEnvironment& env) : TerminalRig(env, false, 0) {}
        void open()
        {
            click("lblOpen1");
            box.waitForBytes(1, 2000);
        }
    };

    static const QString kConfirmation;

private slots:
    void init() { env.reset(); }

    void startingAsksAndDials()
    {
        Rig rig(env);
        rig.click("lblRSend_1");
        QCOMPARE(rig.dialogs.events, QStringList({"beep", "Open Communication Port First ..... "}));

        rig.open();
        rig.dialogs.clear();
        rig.click("lblRsend_2"); // No is the default answer
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].title, QString("Quillnet Rundsenden Service on  11162"));
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(rig.dialogs.asked[0].defaultAnswer, Dialogs::Answer::No);
        QVERIFY(rig.dialogs.asked[0].text.startsWith("This Option will call automaticaly the Rundsenden service"));
        QVERIFY(rig.command("lblRSend_1")->isEnabled());
        QCOMPARE(rig.state.RSendPending, false);

        rig.dialogs.answers = {Dialogs::Answer::Yes};
        rig.click("lblRSend_1");
        QCOMPARE(rig.box.waitForBytes(8, 2000), QByteArray("\x01 011151"));
        QCOMPARE(rig.state.RSendPending, true);
        QVERIFY(!rig.command("lblRSend_1")->isEnabled());
        QVERIFY(!rig.command("lblRsend_2")->isEnabled());
    }

    void promptSendsTheListOnce()
    {
        Rig rig(env);
        env.writeFile("\\RSend.txt", "1234,\r\n56789,\r\n56789+\r\n");
        rig.open();
        rig.state.RSendPending = true;
        rig.state.ConnectionActive = true;
        int confirmations = 0;
        rig.dialogs.onMessage = [&](const ScriptedDialogs::Asked& asked) {
            if (asked.text == kConfirmation) {
                ++confirmations;
                // The list is through when the confirmation shows.
                QCOMPARE(rig.box.waitForBytes(23, 2000), QByteArray("\r\n\r1234,\r56789,\r56789+"));
                QCOMPARE(rig.state.RSendListSent, true);
            }
        };
        rig.state.KlklAuto = true; // the prompt a character at a time, the klkl answer on
        for (const char c : QByteArray("receivers please  +++):")) {
            rig.box.write(QByteArray(1, c));
            rig.box.readFor(10);
        }
        QTRY_COMPARE(confirmations, 1);
        QVERIFY(!rig.state.RSendPending && !rig.state.RSendListSent && rig.command("lblRSend_1")->isEnabled());

        // No longer pending: a later prompt sends nothing.
        rig.box.write(" +++): text eingeben.");
        QCOMPARE(rig.box.readFor(200), QByteArray());
        QCOMPARE(confirmations, 1);
    }

    void manualSendingAndAMissingList()
    {
        Rig rig(env);
        rig.open();
        rig.click("lblSendNumbers");
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " No existing connection active ......"}));

        // Nothing chosen: the list is the single line "0+".
        env.writeFile("\\RSend.txt", "0+\r\n");
        rig.state.ConnectionActive = true;
        rig.dialogs.clear();
        rig.click("lblSendNumbers");
        QCOMPARE(rig.box.waitForBytes(5, 2000), QByteArray("\r\n\r0+"));
        QCOMPARE(rig.dialogs.texts(), QStringList({kConfirmation}));

        // Without a list only the line feed goes out, then the confirmation.
        QFile::remove(env.file("\\RSend.txt"));
        rig.dialogs.clear();
        rig.click("lblSendNumbers");
        QCOMPARE(rig.box.waitForBytes(2, 2000), QByteArray("\r\n"));
        QCOMPARE(rig.box.readFor(300), QByteArray());
        QCOMPARE(rig.dialogs.texts(), QStringList({kConfirmation}));
    }
};

const QString BroadcastTest::kConfirmation = QStringLiteral(
    "The Subscriber number list was transmitted correctly, you may send your message now...  end with +++ ");

VORNAK_TEST_MAIN(BroadcastTest)

#include "tst_broadcast.moc"
