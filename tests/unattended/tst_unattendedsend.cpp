// `vornak send`: sending a file without the window, over real
// pseudo-terminals, against the real vornak-box and a box the test plays.
#include "support/BoxProgram.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "link/SerialLink.h"
#include "text/FileTransmission.h"
#include "unattended/FarReply.h"
#include "unattended/MessageFile.h"
#include "unattended/SendArguments.h"
#include "unattended/SendCommand.h"

#include <QTextStream>

namespace {
const QByteArray SOH("\x01"), DC3("\x13");
// A message with CR LF line ends, umlauts, an @ and a paragraph longer than
// the telex line.
const QByteArray kMessage = "Gr\xc3\xbc\xc3\x9f" "e aus K\xc3\xb6ln\r\n"
                            "Zweite Zeile @ home\r\n";
} // namespace

class UnattendedSendTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Run {
        int exit = -1;
        QString out;
        QString err;
        // The lines written to standard error.
        QStringList errLines() const { return err.split('\n', Qt::SkipEmptyParts); }
    };

    // Runs `vornak send` in this process, as the program does it, with the
    // given configuration values.
    Run send(const QStringList& arguments, double charDelay = 0.001, bool progress = false, qint16 prefix = 0)
    {
        Run run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        AppState state = env.makeState();
        state.DialPrefix = prefix;
        state.CharDelay = charDelay;
        SettingsStore settings;
        run.exit = runSendCommand(arguments, state, settings, SendConsole{out, err, progress, false});
        out.flush();
        err.flush();
        return run;
    }

    void mapPort(const QString& device)
    {
        SettingsStore settings;
        settings.save("Ports", "Com1", device);
        settings.sync();
    }

    QString messageFile(const QByteArray& bytes, const QString& name = "message.txt")
    {
        env.writeFile("\\" + name, bytes);
        return env.file("\\" + name);
    }

    // A box played by the test: once the dial has come, it sends `replies`
    // one after the other, `gapMs` apart.
    struct ScriptedBox {
        PtyPair pty;
        QByteArray heard;
        ScriptedBox(const QList<QByteArray>& replies, int gapMs)
        {
            pty.open();
            QObject::connect(&pty, &PtyPair::bytesArrived, &pty, [this, replies, gapMs](const QByteArray& bytes) {
                const bool dialled = !heard.contains(SOH) && (heard + bytes).contains(SOH);
                heard += bytes;
                pty.takeReceived();
                if (!dialled)
                    return;
                for (int i = 0; i < replies.size(); ++i)
                    QTimer::singleShot(100 + i * gapMs, &pty, [this, reply = replies[i]] { pty.write(reply); });
            });
        }
    };

private slots:
    void init() { env.reset(); }

    void commandLine()
    {
        const auto parse = [](const QString& line) { return parseSendArguments(line.split(' ', Qt::SkipEmptyParts)); };
        // A request in one line: file, number, port, answerback, time-out.
        const auto request = [&parse](const QString& line) {
            const SendArguments parsed = parse(line);
            if (!parsed.request)
                return "refused: " + parsed.problem;
            const SendRequest& r = *parsed.request;
            return QStringLiteral("%1 %2 %3 %4 %5").arg(r.file, r.number, r.port ? QString::number(*r.port) : "-",
                                                        r.answerback ? "answerback" : "-").arg(r.timeoutSeconds);
        };
        QCOMPARE(request("bulletin.txt --to 12345 --port 3 --answerback --timeout 2.5"),
                 QString("bulletin.txt 12345 3 answerback 2.5"));
        QCOMPARE(request("--to=4711 -"), QString("- 4711 - - 30"));
        // After "--" a name that looks like an option is a file.
        QCOMPARE(request("--to 1 -- --odd-name"), QString("--odd-name 1 - - 30"));

        QVERIFY(parse("--help").help && parse("x.txt -h --to").help);
        const QStringList wrong = {"x.txt", "--to 12345", "x.txt --to 12a45", "x.txt --to", "a.txt b.txt --to 1",
                                   "x.txt --to 1 --port 33", "x.txt --to 1 --port 0", "x.txt --to 1 --timeout 0",
                                   "x.txt --to 1 --timeout soon", "x.txt --to 1 --fast", "x.txt --to 1 --answerback=1"};
        for (const QString& line : wrong) {
            const SendArguments parsed = parse(line);
            QVERIFY2(!parsed.request && !parsed.help, qPrintable(line));
            QVERIFY2(!parsed.problem.isEmpty() && !parsed.problem.contains('\n'), qPrintable(line));
        }
        QVERIFY(parse("x.txt --to 12a45").problem.contains("12a45"));
        // The number is ASCII digits, the whole of it: no white space, sign or
        // line end around it, no Arabic-Indic or fullwidth digits. The refusal
        // stays one line and shows what was given.
        for (const QString& number : {"4711\n", "4711\r", " 4711", "4711\t", "+4711", "-4711", "",
                                      "\u0664\u0667\u0661\u0661", "\uFF14\uFF17\uFF11\uFF11", "4711\u2028"}) {
            const SendArguments parsed = parseSendArguments({"x.txt", "--to", number});
            QVERIFY2(!parsed.request && !parsed.problem.contains('\n') && !parsed.problem.contains(u'\u2028'),
                     qPrintable(parsed.problem));
        }
        QVERIFY(parseSendArguments({"x.txt", "--to", "4711\n"}).problem.contains("\"4711\\n\""));

        // The help names every option and every exit code.
        const QString help = sendHelpText();
        for (const QString& word : {"--to NUMBER", "--port N", "--answerback", "--timeout S", "cron", "  0  ",
                                    "  2  ", "  3  ", "  4  ", "  5  ", "  6  ", "  7  "})
            QVERIFY2(help.contains(word), qPrintable(word));
        const Run shown = send({"--help"});
        QCOMPARE(QStringList({QString::number(shown.exit), shown.out, shown.err}), QStringList({"0", help, ""}));
    }

    void farRepliesAndMessageFiles()
    {
        // The box repeating the dialled number, an answerback, a service
        // code; a word that merely holds a code is none.
        const std::pair<QString, FarReply> replies[] = {
            {"nr?  012345", FarReply::Ignored},       {"nr? 0 12 345", FarReply::Ignored},
            {"", FarReply::Ignored},                  {"\x07 - ", FarReply::Ignored},
            {"012345 demo d", FarReply::Answerback},  {"\x07" "4711 abc d ", FarReply::Answerback},
            {"OCC", FarReply::CallFailed},            {" nc ", FarReply::CallFailed},
            {"der", FarReply::CallFailed},            {"occupied d", FarReply::Answerback}};
        for (const auto& [line, reply] : replies)
            QVERIFY2(classifyFarReply(line, " 012345") == reply, qPrintable(line));
        QCOMPARE(printableReply("\x07 4711 abc d \r"), QString("4711 abc d"));

        // Line ends of this system become CR LF; CR LF stays; UTF-8 or Latin-1.
        QCOMPARE(readMessageFile(messageFile("one\ntwo\n")).text, QString("one\r\ntwo\r\n"));
        QCOMPARE(withCrLfLineEnds("a\r\n\nb\r"), QString("a\r\n\r\nb\r\n"));
        QCOMPARE(readMessageFile(messageFile(kMessage)).text, QString::fromUtf8(kMessage));
        QCOMPARE(readMessageFile(messageFile("caf\xe9\r\n")).text, QString("caf\u00e9\r\n"));

        // What cannot be sent says why in one line.
        const QString missing = env.file("\\missing.txt");
        const std::pair<QString, QString> refused[] = {
            {missing, missing + ": "}, {env.folder(), "folder"},
            {messageFile(QByteArray("ab\0cd", 5), "binary.txt"), "binary"},
            {messageFile(" \r\n\t\n", "blank.txt"), "empty"}, {messageFile("", "empty.txt"), "empty"}};
        for (const auto& [path, said] : refused) {
            const QString problem = readMessageFile(path).problem;
            QVERIFY2(problem.contains(said) && !problem.contains('\n'), qPrintable(problem));
        }
        QVERIFY(readMessageFile(missing).problem.startsWith(missing));
    }

    // The whole exchange with the real box: the exact bytes it got, and the
    // message part byte for byte what "Send Text File" sends.
    void sendsToTheBox()
    {
        BoxProgram box(env);
        mapPort(box.device);
        const QString path = messageFile(kMessage);

        Run run = send({path, "--to", "12345", "--answerback"}, 0.001, true);
        QCOMPARE(run.exit, 0);
        const QByteArray message = "\rGruesze aus Koeln\rZweite Zeile (at) home\r\r\r";
        QTRY_COMPARE(box.received(), SOH + " 012345" + message + "\r\t" + DC3);
        // On a terminal: the answerback, the progress to the last character.
        QVERIFY2(run.err.contains("answerback: 012345 demo d\n")
                     && run.err.contains(QStringLiteral("\rvornak send: %1/%1 characters\n").arg(message.size()))
                     && run.err.endsWith(QStringLiteral("vornak send: sent %1 characters to 12345\n").arg(message.size())),
                 qPrintable(run.err));
        // The box dialled once and cleared once.
        QTRY_COMPARE(QList<qsizetype>({box.log("dialling").size(), box.log("cleared").size()}),
                     QList<qsizetype>({1, 1}));
        QCOMPARE(box.log("dialling").value(0).second, QString("dialling 012345"));

        // Without --answerback, a local number (the dial prefix is for
        // network numbers only), and not on a terminal: nothing is said on
        // success.
        const qsizetype before = box.received().size();
        run = send({path, "--to", "12"}, 0.001, false, 49);
        QVERIFY2(run.exit == 0 && run.err.isEmpty(), qPrintable(run.err));
        QTRY_COMPARE(box.received().mid(before), SOH + " 12" + message + DC3);

        // The window's "Send Text File" with the same file.
        const QByteArray longText = QByteArray("Wetterbericht f\xfc" "r heute:\r\n")
                                    + QByteArray("sonnig und warm ").repeated(12) + "\r\n\r\nEnde\r\n";
        const QString longPath = messageFile(longText, "weather.txt");
        TerminalRig rig(env);
        rig.state.ConnectionActive = true;
        rig.part<TextTransmissions>().files().SendTextFile(longPath, 5);
        const QByteArray fromWindow = rig.received(1, 5000);
        QVERIFY(fromWindow.size() > 200);

        mapPort(box.device); // the window mapped Com 1 to its own line
        const qsizetype mark = box.received().size();
        QCOMPARE(send({longPath, "--to", "4711"}, 0.001, false, 49).exit, 0);
        QTRY_COMPARE(box.received().mid(mark), SOH + " 494711" + fromWindow + DC3);
    }

    // The box that echoes the dial and only then answers (on a terminal, the
    // answerback is shown); one that reports a failed call; one that never
    // answers. A failure is one line on standard error, and the call closed.
    void waitingForTheAnswerback()
    {
        const struct {
            QList<QByteArray> replies;
            const char* timeout;
            int exit;
            QString said;
            QByteArray message;
        } cases[] = {
            {{"\r\nnr? ", " 012345\r\n", "\x07\r\n", "012345 far d\r\n"}, "5", 0,
             "vornak send: answerback: 012345 far d", "\rhi\r\r\r"},
            {{"\r\nnr?  012345\r\n", "\r\nocc\r\n"}, "5", 4,
             "vornak send: the call to 12345 did not connect: the box answered \"occ\"", ""},
            {{}, "0.5", 4, "vornak send: no answerback from 12345 within 0.5 s of dialling; the call was closed", ""},
        };
        for (const auto& test : cases) {
            ScriptedBox box(test.replies, 150);
            mapPort(box.pty.slavePath());
            const QStringList arguments = {messageFile("hi\r\n"), "--to", "12345", "--timeout", test.timeout};
            const Run run = send(arguments, 0.001, test.exit == 0);
            QCOMPARE(run.exit, test.exit);
            QVERIFY2(run.errLines().contains(test.said) && (test.exit == 0 || run.errLines().size() == 1),
                     qPrintable(run.err));
            QTRY_COMPARE(box.heard, SOH + " 012345" + test.message + DC3);
        }
    }

    // Every failure ends with its exit code and one line on standard error.
    void failuresSayWhyInOneLine()
    {
        BoxProgram box(env);
        mapPort(box.device);
        const QString hello = messageFile("hello\r\n");
        const auto failure = [&](const QStringList& arguments, int exit, const QString& said) {
            const Run run = send(arguments);
            QCOMPARE(run.exit, exit);
            QCOMPARE(run.errLines().size(), 1);
            QVERIFY2(run.err.startsWith("vornak send: ") && run.err.contains(said), qPrintable(run.err));
        };
        // A file that cannot be sent, a wrong command line.
        failure({env.file("\\no-such.txt"), "--to", "12345"}, 6, "vornak send: " + env.file("\\no-such.txt") + ": ");
        failure({"--to", "12345"}, 2, "");
        // The port held by someone else (the terminal window, say), no such
        // device, and a port number nobody mapped on this machine.
        SettingsStore settings;
        SerialLink other(settings);
        QVERIFY(other.open());
        failure({hello, "--to", "12345"}, 3, box.device);
        other.close();
        mapPort(env.folder() + "/no-such-device");
        failure({hello, "--to", "12345"}, 3, "no-such-device");
        failure({hello, "--to", "12345", "--port", "32"}, 3, "Com 32");
        // None of it reached the box.
        QTest::qWait(100);
        QCOMPARE(box.received(), QByteArray());

        // The box goes once part of the message has reached it: the count
        // is of what went out, and nothing is reported as sent.
        mapPort(box.device);
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (box.received().size() > 40) {
                box.process.kill();
                watch.stop();
            }
        });
        watch.start(20);
        const Run run = send({messageFile(QByteArray("0123456789 ").repeated(60) + "\r\n"), "--to", "12345"}, 0.01);
        QCOMPARE(run.exit, 5);
        QCOMPARE(run.errLines().size(), 1);
        const QString line = run.errLines()[0];
        QVERIFY2(line.contains("the line was lost after ") && line.contains("the message did not go out whole")
                     && line.contains(box.device) && !line.contains("sent "),
                 qPrintable(line));
        const int sentCount = line.section("lost after ", 1).section(' ', 0, 0).toInt();
        // Part of the 660 characters, however late the box was stopped.
        QVERIFY2(sentCount > 25 && sentCount < 600, qPrintable(line));
    }

    // The program itself: `vornak send` with no display, the message on
    // standard input.
    void theProgramWithoutDisplay()
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak";
        if (!QFileInfo::exists(program))
            QSKIP("build the vornak program first (cmake --build build --target vornak)");
        BoxProgram box(env);
        mapPort(box.device);
        QProcess vornak;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        vornak.setProcessEnvironment(environment);
        vornak.start(program, {"send", "-", "--to", "4711", "--timeout", "10"});
        QVERIFY(vornak.waitForStarted());
        vornak.write("ZCZC weather\nfair\n");
        vornak.closeWriteChannel();
        // The shipped configuration paces at 0.15 s a character.
        QVERIFY(vornak.waitForFinished(60000) && vornak.exitCode() == 0);
        QCOMPARE(vornak.readAllStandardError(), QByteArray());
        QTRY_COMPARE(box.received(), SOH + " 04711" + "\rZCZC weather\rfair\r\r\r" + DC3);

        // Ended by the system in the middle: the call is closed, and the
        // message is not reported as sent.
        const qsizetype mark = box.received().size();
        QProcess stopped;
        stopped.setProcessEnvironment(environment);
        stopped.start(program, {"send", messageFile(QByteArray("long text ").repeated(40)), "--to", "4711"});
        QTRY_VERIFY_WITH_TIMEOUT(box.received().size() > mark + 12, 20000);
        stopped.terminate();
        QVERIFY(stopped.waitForFinished(20000) && stopped.exitStatus() == QProcess::NormalExit);
        QCOMPARE(stopped.exitCode(), 7);
        // One line and its end.
        const QList<QByteArray> lines = stopped.readAllStandardError().split('\n');
        QVERIFY2(lines.size() == 2 && lines[0].startsWith("vornak send: interrupted after "), lines[0].constData());
        QTRY_VERIFY(box.received().endsWith(DC3));
        QVERIFY(box.received().size() < mark + 200);
    }
};

VORNAK_TEST_MAIN(UnattendedSendTest)
#include "tst_unattendedsend.moc"
