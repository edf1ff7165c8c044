// End to end: the real vornak-box program on a pseudo-terminal and the
// terminal window talking to it, as in the demo.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestMain.h"

#include "app/terminal.h"
#include "BoxSimulator.h"
#include "core/SettingsStore.h"
#include "directory/PhonebookFile.h"
#include "link/TerminalText.h"
#include "support/TerminalRig.h"

#include "core/TextFiles.h"
#include "link/LineCommands.h"

#include "text/WrapText.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

// The vornak-box program, started for one test; it records every byte it
// receives in a file.
struct BoxProgram {
    QProcess process;
    QString device;
    QString logFile;
    QString rawFile;

    explicit BoxProgram(const TestEnvironment& env)
        : logFile(env.folder() + "/box.log"), rawFile(env.folder() + "/box.raw")
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak-box";
        const QString pathFile = env.folder() + "/box.path";
        process.start(program, {"--path-file", pathFile, "--log", logFile, "--raw", rawFile, "--char-delay", "1",
                                "--dial-delay", "300"});
        QDeadlineTimer deadline(5000);
        while (QFileInfo(pathFile).size() == 0 && !deadline.hasExpired())
            QTest::qWait(20);
        QFile path(pathFile);
        if (path.open(QIODevice::ReadOnly))
            device = QString::fromLocal8Bit(path.readAll()).trimmed();
    }
    ~BoxProgram()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
    QByteArray received() const
    {
        QFile raw(rawFile);
        raw.open(QIODevice::ReadOnly);
        return raw.readAll();
    }
};

class DemoBoxTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void simulatorAnswersLikeABox()
    {
        BoxSimulator::Options options;
        options.charDelayMs = 0;
        options.dialDelayMs = 50;
        BoxSimulator box(options);
        QByteArray out;
        connect(&box, &BoxSimulator::output, this, [&](const QByteArray& bytes) { out += bytes; });

        box.receive("\r");
        QCOMPARE(out, QByteArray("\r\n"));
        out.clear();
        box.receive("\x17");
        QCOMPARE(out, QByteArray("\r\n12345 vornak d\r\n"));
        out.clear();
        box.receive("\x01 04711");
        QCOMPARE(box.state(), BoxSimulator::State::Dialling);
        QTRY_COMPARE(box.state(), BoxSimulator::State::Connected);
        QCOMPARE(box.dialledNumber(), QString("04711"));
        QVERIFY(out.endsWith("\r\n04711 demo d\r\n"));
        out.clear();
        box.receive("hi\r+?");
        QVERIFY(out.startsWith("hi\r\n"));
        QVERIFY(out.contains("3 characters received here. klkl"));
        out.clear();
        box.receive("\x13");
        QCOMPARE(box.state(), BoxSimulator::State::Idle);

        // A broadcast service asks for its receivers and takes them.
        box.receive("\x01 11151\r");
        QCOMPARE(box.state(), BoxSimulator::State::Broadcast);
        QVERIFY(out.endsWith(" +++):"));
        out.clear();
        box.receive("\n\r1234,\r56789,\r56789+\r");
        QCOMPARE(box.state(), BoxSimulator::State::Connected);
        QVERIFY(out.contains("3 receivers noted"));
    }

    void terminalTalksToTheBoxProgram()
    {
        auto box = std::make_unique<BoxProgram>(env);
        QVERIFY2(!box->device.isEmpty(), "the box program did not start");

        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Ports", "Com1", box->device);
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});
        QTest::mouseClick(terminal.findChild<CommandLabel*>("lblOpen1"), Qt::LeftButton);
        QVERIFY(terminal.link().isOpen());

        const auto window = [&] { return terminal.terminal().lineText(); };
        terminal.findChild<LineCommands*>()->CallNumber("4711", "    Demo");
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("4711 demo d"), 5000);
        QCOMPARE(state.ConnectionActive, true);
        for (const char c : QByteArray("hello"))
            QTest::keyClick(&terminal.terminal(), c);
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("hello"), 5000);
        QTest::mouseClick(terminal.findChild<CommandLabel*>("lblGoAhead"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("5 characters received here"), 5000);

        const QString logFile = box->logFile;
        box.reset();
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray logged = log.readAll();
        QVERIFY(logged.contains("dialling 04711"));
        QVERIFY(logged.contains("<01>"));
        // The box went away with the port open: the window says so once.
        QTRY_VERIFY_WITH_TIMEOUT(!terminal.link().isOpen(), 5000);
        QCOMPARE(dialogs.asked.size(), 1);
    }

    void demoPhonebookGivesFavouritesToDial()
    {
        QProcess server;
        server.start(qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak-dirserver",
                     {"--port", "0", "--generate", "100", "--demo-phonebook", env.folder(), "--favourites", "5"});
        QVERIFY(server.waitForReadyRead(5000)); // the phonebook is written before the server listens
        server.kill();
        server.waitForFinished();

        const QVector<PhonebookRecord> records = readPhonebook(env.file("\\phonebook.txt")).records;
        QCOMPARE(records.size(), 100);
        QCOMPARE(std::count_if(records.begin(), records.end(), [](const auto& r) { return r.Check == 1; }), 5);
        QVERIFY(std::is_sorted(records.begin(), records.end(),
                               [](const auto& a, const auto& b) { return a.Name < b.Name; }));

        TerminalRig rig(env);
        rig.click("lblRefresh");
        auto* first = rig.t().findChild<CommandLabel*>("lblCallNumbers_0");
        auto* sixth = rig.t().findChild<CommandLabel*>("lblCallNumbers_5");
        const QString number = first->text().mid(2, 12).trimmed();
        QVERIFY2(QRegularExpression("^[1-9][0-9]{5}$").match(number).hasMatch(), qPrintable(first->text()));
        QCOMPARE(sixth->text(), QString(" 5"));
        // A favourite dials its number behind the prefix.
        QTest::mouseClick(first, Qt::LeftButton);
        QCOMPARE(rig.box.waitForBytes(9, 2000), "\x01 0" + number.toLatin1());
    }

    void preparedTextsReachTheBox()
    {
        BoxProgram box(env);
        QVERIFY2(!box.device.isEmpty(), "the box program did not start");
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Ports", "Com1", box.device);
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});
        state.CharDelay = 0.001;
        QTest::mouseClick(terminal.findChild<CommandLabel*>("lblOpen1"), Qt::LeftButton);
        const auto click = [&](const char* name) {
            QTest::mouseClick(terminal.findChild<CommandLabel*>(name), Qt::LeftButton);
        };
        terminal.findChild<LineCommands*>()->CallNumber("4711", "    Demo");
        QTRY_VERIFY_WITH_TIMEOUT(terminal.terminal().lineText().contains("4711 demo d"), 5000);

        // A pasted line, sent without a preview.
        QGuiApplication::clipboard()->setText(QString::fromUtf8("Grüße aus Köln"));
        state.PreviewMode = false;
        click("lblPaste");
        QTRY_VERIFY_WITH_TIMEOUT(box.received().contains("\rGruesze aus Koeln\r\r\r"), 5000);

        // A text file chosen in the dialog.
        env.writeFile("\\note.txt", QString::fromUtf8("Zürich\r\n").toUtf8());
        dialogs.files = {env.file("\\note.txt")};
        click("lblSendText1");
        QTRY_VERIFY_WITH_TIMEOUT(box.received().endsWith("\rZuerich\r\r\r"), 5000);

        // The headline, written by the headline editor just before.
        click("lblSendHeadlines");
        QTRY_VERIFY_WITH_TIMEOUT(box.received().contains("\rStazione telescrivente di"), 5000);
        QVERIFY(box.received().endsWith("\r\r"));

        // The far side replies after the go-ahead and ends with "klkl": the
        // automatic answer sends klkl.txt.
        click("lblKlKl");
        QCOMPARE(state.KlklAuto, true);
        click("lblGoAhead");
        QByteArray answer = "\r\r\r\r";
        for (const QString& line : splitLines(QString::fromLatin1(env.readFile("\\klkl.txt")))) {
            QString wrapped = WrapText(line, 68);
            answer += wrapped.remove('\r').toLatin1() + "\n";
        }
        answer += "\r\r\r\r";
        QTRY_VERIFY_WITH_TIMEOUT(box.received().endsWith(answer), 15000);
        QVERIFY(box.received().contains("+?\r\r\r\rhere is 12345 vornak d."));
        QVERIFY(dialogs.asked.size() >= 2); // the two send questions, nothing else went wrong
        for (const auto& asked : dialogs.asked)
            QVERIFY2(asked.text.startsWith(" You are about to send"), qPrintable(asked.text));
    }
};

VORNAK_TEST_MAIN(DemoBoxTest)

#include "tst_demo_box.moc"
