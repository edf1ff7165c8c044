// End to end: the real vornak-box program on a pseudo-terminal and the
// terminal window talking to it, as in the demo.
#include "support/BoxProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TestMain.h"

#include "app/terminal.h"
#include "archive/ArchiveListModel.h"
#include "archive/ArchiveWindow.h"
#include "BoxSimulator.h"
#include "core/SettingsStore.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"
#include "link/TerminalText.h"

#include <QClipboard>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

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
        // What the box prints for bytes from the terminal.
        const auto answer = [&](const QByteArray& bytes) {
            out.clear();
            box.receive(bytes);
            return out;
        };

        QCOMPARE(answer("\r"), QByteArray("\r\n"));
        QCOMPARE(answer("\x17"), QByteArray("\r\n12345 vornak d\r\n"));
        answer("\x01 04711");
        QCOMPARE(box.state(), BoxSimulator::State::Dialling);
        QTRY_COMPARE(box.state(), BoxSimulator::State::Connected);
        QCOMPARE(box.dialledNumber(), QString("04711"));
        QVERIFY(out.endsWith("\r\n04711 demo d\r\n"));
        const QByteArray reply = answer("hi\r+?");
        QVERIFY(reply.startsWith("hi\r\n") && reply.contains("3 characters received here. klkl"));
        answer("\x13");
        QCOMPARE(box.state(), BoxSimulator::State::Idle);

        // Incoming telexes: a file's messages, split at "---" lines, each
        // with teleprinter line ends; the quiet time between them.
        QCOMPARE(BoxSimulator::messagesOf("ZCZC\r\nfair\n---\n\n---\r\nsecond\n\n\n"),
                 QStringList({"ZCZC\nfair\n", "second\n"}));
        out.clear();
        box.deliver({"ZCZC\nfair\n", "second"}, 0, 300);
        QCOMPARE(out, QByteArray("ZCZC\r\nfair\r\n"));
        QVERIFY(box.delivering());
        QTRY_COMPARE(out, QByteArray("ZCZC\r\nfair\r\nsecond"));
        QTRY_VERIFY(!box.delivering());
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
        // The favourites have numbers a user can dial.
        for (const PhonebookRecord& record : records) {
            if (record.Check == 1)
                QVERIFY2(QRegularExpression("^[1-9][0-9]{5}$").match(record.Number.trimmed()).hasMatch(),
                         qPrintable(record.Number));
        }
    }

    void readmeWalkThrough()
    {
        // The demo walk-through of the README, step by step, against the
        // real vornak-box; its byte log holds exactly what the steps sent.
        BoxProgram box(env);
        QVERIFY2(!box.device.isEmpty(), "the box program did not start");
        env.writeFile("\\Message.txt", "Vornak sends its greetings.\r\n");
        env.writeFile("\\klkl.txt", "here is 12345 vornak d.\r\n");
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Ports", "Com1", box.device);
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});
        state.CharDelay = 0.001;

        const auto window = [&] { return terminal.terminal().lineText(); };
        const auto click = [&](const char* name) {
            QTest::mouseClick(terminal.findChild<CommandLabel*>(name), Qt::LeftButton);
        };
        const auto type = [&](const QByteArray& keys) {
            for (const char c : keys)
                QTest::keyClick(&terminal.terminal(), c);
        };
        // The box's byte log grows by exactly these bytes.
        QByteArray expected;
        const auto boxGets = [&](const QByteArray& bytes) {
            expected += bytes;
            return QTest::qWaitFor([&] { return box.received() == expected; }, 10000);
        };

        // Open Port.
        click("lblOpen1");
        QCOMPARE(window(), QString("Terminal Ready "));
        QVERIFY2(boxGets("\r"), box.received().toPercentEncoding().constData());

        // The steps after it: what the user does, the bytes the box gets, and
        // what the window then shows anew.
        const struct {
            std::function<void()> act;
            QByteArray bytes;
            QString shown;
        } steps[] = {
            // Call, type 4711: the box dials and the far station answers.
            {[&] { click("LblCall"); type("4711"); }, "\x01" "4711", "4711 demo d"},
            // A typed line is printed back.
            {[&] { type("hello"); QTest::keyClick(&terminal.terminal(), Qt::Key_Return); }, "hello\r", "hello\r\n"},
            // Paste: the preview (it sends its line start), then Send Preview.
            {[&] { QGuiApplication::clipboard()->setText(QString::fromUtf8("Grüße aus Köln")); click("lblPaste"); },
             "\r", ""},
            {[&] { terminal.findChild<QPushButton*>("cmdSendPreview")->click(); }, "\rGruesze aus Koeln\r\r\r", ""},
            // Send Message, answered Yes.
            {[&] { dialogs.answers = {Dialogs::Answer::Yes}; click("lblSendMessage"); },
             "\rVornak sends its greetings.\r\r\r", ""},
            // klkl on, then Go Ahead: the far side replies and ends with
            // "klkl"; the answer goes out by itself.
            {[&] { click("lblKlKl"); click("lblGoAhead"); }, "+?\r\r\r\rhere is 12345 vornak d.\n\n\r\r\r\r",
             "characters received here. klkl"},
            // The box's own commands, each answered; during a call the
            // answerback is the far station's.
            {[&] { click("lblWerda"); }, "\r\x17", "4711 demo d"},
            {[&] { click("lblStatus"); }, "\x14", "status: vornak-box"},
            {[&] { click("LblMsg"); }, "\x11", "no recorded messages"},
            {[&] { click("lblKonfig"); }, "\x0b", "configuration: vornak-box"},
            // Close clears the line.
            {[&] { click("LblCloseConnection"); }, "\x13", ""},
        };
        for (const auto& step : steps) {
            const qsizetype shownBefore = window().size();
            step.act();
            QVERIFY2(boxGets(step.bytes), box.received().toPercentEncoding().constData());
            QTRY_VERIFY_WITH_TIMEOUT(window().mid(shownBefore).contains(step.shown), 5000);
        }
        QCOMPARE(dialogs.texts(), QStringList({" You are about to send the Message File "}));

        // "Archive" on, and a telex arrives: "Close" ends the message, the
        // archive window shows it, "Export PDF" puts it on paper.
        QTRY_VERIFY_WITH_TIMEOUT(window().endsWith("cleared\r\n"), 5000);
        click("lblArchive");
        env.writeFile("/telex.txt", "ZCZC 0815\nweather: fair, 21 degrees\nNNNN\n");
        box.process.write("/deliver " + env.file("/telex.txt").toLocal8Bit() + "\n");
        QTRY_VERIFY_WITH_TIMEOUT(window().endsWith("NNNN\r\n"), 5000);
        click("LblCloseConnection");
        QVERIFY2(boxGets("\x13"), box.received().toPercentEncoding().constData());
        click("lblArchiveWindow");
        auto* archive = terminal.findChild<ArchiveWindow*>("frmArchive");
        QVERIFY(archive && archive->isVisible());
        for (int row = 0; row < archive->model().rowCount(); ++row) {
            if (archive->model().messageAt(row).firstLine == "ZCZC 0815")
                archive->chooseRow(row);
        }
        QCOMPARE(archive->chosenText(), QString("ZCZC 0815\r\nweather: fair, 21 degrees\r\nNNNN\r\n"));
        const QString pdf = env.folder() + "/telex.pdf";
        dialogs.files = {pdf};
        archive->cmdMessagePdf->click();
        QProcess pdftotext;
        pdftotext.start("pdftotext", {pdf, "-"});
        QVERIFY2(pdftotext.waitForFinished(20000), "pdftotext (poppler-utils) did not run");
        const QString onPaper = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(onPaper.contains("ZCZC 0815\nweather: fair, 21 degrees\nNNNN"), qPrintable(onPaper));
        QCOMPARE(dialogs.texts(), QStringList({" You are about to send the Message File "}));
    }
};

VORNAK_TEST_MAIN(DemoBoxTest)

#include "tst_demo_box.moc"
