// The simulated box's broadcast services: reached however the terminal
// dials them, taking the list up to the plus sign and confirming it, a clear
// ending the service; and the whole way through the program: a service
// called, its prompt in two pieces, and the saved receiver list sent by itself.
#include "support/BoxProgram.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "BoxSimulator.h"
#include "link/TerminalText.h"

namespace {

// A simulator in this process, with its output and log collected.
struct Box {
    BoxSimulator simulator;
    QByteArray out;
    QStringList log;

    explicit Box(BoxSimulator::Options options) : simulator(std::move(options))
    {
        QObject::connect(&simulator, &BoxSimulator::output, [this](const QByteArray& bytes) { out += bytes; });
        QObject::connect(&simulator, &BoxSimulator::logLine, [this](const QString& line) { log << line; });
    }
    static BoxSimulator::Options quick(int promptPauseMs = 0)
    {
        BoxSimulator::Options options;
        options.charDelayMs = 0;
        options.dialDelayMs = 30;
        options.promptPauseMs = promptPauseMs;
        return options;
    }
};

const QString kConfirmation = QStringLiteral(
    "The Subscriber number list was transmitted correctly, you may send your message now...  end with +++ ");

} // namespace

class BoxBroadcastTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void servicesAnswerHoweverDialled()
    {
        // The bytes the terminal sends for a number behind its dial prefix,
        // and the number dialled bare.
        struct Case {
            QByteArray dialled;
            QString prefix;
            bool service;
            QString promptEnd;
        };
        const QList<Case> cases = {
            {"\x01 011151", "0", true, " +++):"},
            {"\x01 011162", "0", true, " text eingeben."},
            {"\x01 11151", "0", true, " +++):"},
            {"\x01" "11162", "0", true, " text eingeben."},
            {"\x01 911151", "9", true, " +++):"},
            {"\x01 011151", "9", false, ""},
            {"\x01 04711", "0", false, ""},
            {"\x01 0111510", "0", false, ""},
        };
        for (const Case& each : cases) {
            BoxSimulator::Options options = Box::quick();
            options.dialPrefix = each.prefix;
            Box box(options);
            box.simulator.receive(each.dialled);
            QTRY_VERIFY(box.simulator.state() != BoxSimulator::State::Dialling);
            const QByteArray label = each.dialled.toPercentEncoding() + " prefix " + each.prefix.toLatin1();
            QVERIFY2((box.simulator.state() == BoxSimulator::State::Broadcast) == each.service, label);
            if (each.service) {
                QVERIFY2(box.out.endsWith(each.promptEnd.toLatin1()), box.out);
                QVERIFY(box.log.contains("dialling " + QString::fromLatin1(each.dialled.mid(1)).remove(' ')));
            } else {
                QVERIFY2(box.out.endsWith(" demo d\r\n"), box.out);
            }
        }
    }

    void receiverListIsConfirmed()
    {
        // Exactly what the program sends: a line feed, then each line behind
        // a carriage return, nothing after the plus sign.
        Box box(Box::quick());
        box.simulator.receive("\x01 11151\r");
        box.out.clear();
        box.simulator.receive("\r\n\r1234,\r56789,\r56789+");
        QCOMPARE(box.simulator.state(), BoxSimulator::State::Connected);
        QCOMPARE(box.out, QByteArray("\r\n\n\r\n1234,\r\n56789,\r\n56789+\r\n2 receivers noted: 1234 56789"
                                     "\r\nsend your message, end with +++\r\n"));
        QCOMPARE(box.log.mid(box.log.size() - 4),
                 QStringList({"list line: 1234,", "list line: 56789,", "list line: 56789+",
                              "receiver list: 1234,56789,56789 (2 receivers)"}));

        Box nobody(Box::quick());
        nobody.simulator.receive("\x01 011162\r");
        nobody.simulator.receive("\r\n\r0+");
        QVERIFY(nobody.out.endsWith("\r\n0 receivers noted\r\nsend your message, end with +++\r\n"));
        QCOMPARE(nobody.log.last(), QString("receiver list: none (0 receivers)"));

        // Leading zeros are no part of a number; a clear ends the list.
        Box zeros(Box::quick());
        zeros.simulator.receive("\x01 11151\r\r\n\r00421,\r00421+");
        QVERIFY(zeros.out.contains("1 receiver noted: 421"));
        Box clearedList(Box::quick());
        clearedList.simulator.receive("\x01 11151\r\r\n\r1234,\x13");
        QCOMPARE(clearedList.simulator.state(), BoxSimulator::State::Idle);
        QVERIFY(!clearedList.out.contains("noted"));

        // Cleared before the second piece of the prompt: it never comes.
        Box cleared(Box::quick(100));
        cleared.simulator.receive("\x01 011162\r\x13");
        QTest::qWait(250);
        QVERIFY(!cleared.out.contains("geben."));
        QCOMPARE(cleared.simulator.state(), BoxSimulator::State::Idle);
    }

    void broadcastThroughTheProgram()
    {
        env.writeFile("\\RSend.txt", "1234,\r\n56789,\r\n56789+\r\n");
        BoxProgram box(env, {"--char-delay", "1", "--dial-delay", "300", "--prompt-pause", "300"});
        QVERIFY2(!box.device.isEmpty(), "the box program did not start");
        TerminalRig rig(env, false, 0.001, false);
        rig.settings.save("Ports", "Com1", box.device);
        rig.terminal->Form_Load({});
        rig.state.CharDelay = 0.001;
        rig.click("lblOpen1");
        QTRY_COMPARE(box.received(), QByteArray("\r"));

        // "Yes": the service is dialled, asks, and the list goes out by itself.
        int confirmations = 0;
        rig.dialogs.onMessage = [&](const ScriptedDialogs::Asked& asked) { confirmations += asked.text == kConfirmation; };
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        rig.click("lblRSend_1");
        QTRY_COMPARE_WITH_TIMEOUT(confirmations, 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.text().lineText().contains("2 receivers noted: 1234 56789"), 5000);
        QCOMPARE(box.received(), QByteArray("\r\x01 011151\r\n\r1234,\r56789,\r56789+"));
        QVERIFY(!rig.state.RSendPending && rig.command("lblRSend_1")->isEnabled());

        // The prompt came in two pieces, the second after the pause. A list
        // line is logged when the next one starts, so each of the first two
        // is logged at least the line pause after the line before it began.
        const auto prompt = box.log("prompt: ");
        const auto lines = box.log("list line: ");
        QCOMPARE(prompt.size(), 2);
        QCOMPARE(prompt[1].second, QString("prompt: ):"));
        QCOMPARE(lines.size(), 3);
        QVERIFY(prompt[1].first - prompt[0].first >= 300);
        QVERIFY2(lines[0].first - prompt[1].first >= 170 && lines[1].first - lines[0].first >= 170,
                 qPrintable(QStringLiteral("%1 %2").arg(lines[0].first - prompt[1].first)
                                .arg(lines[1].first - lines[0].first)));
    }
};

VORNAK_TEST_MAIN(BoxBroadcastTest)

#include "tst_box_broadcast.moc"
