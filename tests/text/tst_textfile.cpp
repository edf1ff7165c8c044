// The text-file transmission and its four commands, over a pseudo-terminal.
#include "TransmissionRig.h"
#include "support/TestMain.h"

#include "text/FileTransmission.h"

#include <cerrno>
#include <cstring>

class TextFileTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString userFile(const QString& name, const QByteArray& bytes) const { return ::userFile(env, name, bytes); }

    // The question, then a warning that starts with `start`; nothing sent.
    static void checkRefused(TerminalRig& rig, const QString& start)
    {
        QCOMPARE(rig.dialogs.asked.size(), 2);
        QCOMPARE(rig.dialogs.asked[1].icon, Dialogs::Icon::Exclamation);
        QVERIFY2(rig.dialogs.asked[1].text.startsWith(start), qPrintable(rig.dialogs.asked[1].text));
        QCOMPARE(rig.box.readFor(50), QByteArray());
        checkEnded(rig);
    }

private slots:
    void init() { env.reset(); }

    void chosenFileGoesOutSpelledAndWrapped()
    {
        const QString utf8 = userFile("gruss.txt", QString::fromUtf8("Grüße aus Köln").toUtf8());
        Connected rig(env);
        rig.sendText({utf8});
        QCOMPARE(rig.received(20), QByteArray("\rGruesze aus Koeln\r\r"));
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send a Text File "}));
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QCOMPARE(rig.dialogs.fileRequests[0].title, QString("Send Text File"));
        QCOMPARE(rig.dialogs.fileRequests[0].filter, QString("Text Files (*.TXT)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(rig.part<TextTransmissions>().files().TransmitFile(), utf8);
        QCOMPARE(env.readFile("\\SendFile.txt"), QByteArray("Gruesze aus Koeln\r\n\r\n"));
        QCOMPARE(rig.action(), "Transmitting TextFile: " + utf8);
        QCOMPARE(rig.cancelWindow().lblStatus->text(), "Transmitting  TextFile: " + utf8);
        checkEnded(rig);

        // The same words in Latin-1 with paragraph ends, whose line feeds are
        // not sent.
        rig.sendText({userFile("more.txt", QString::fromUtf8("Grüße\r\naus Köln\r\n").toLatin1())});
        QCOMPARE(rig.received(22), QByteArray("\rGruesze\raus Koeln\r\r\r"));
        checkEnded(rig);
    }

    void preparedFilesAndTheirCommands()
    {
        TerminalRig rig(env);
        int hookRuns = 0;
        bool headlineWritten = true;
        rig.part<TextTransmissions>().files().setBeforeHeadlineSend([&] {
            ++hookRuns;
            if (headlineWritten)
                env.writeFile("\\Headline1.txt", "ZCZC HEADLINE\r\n");
            return headlineWritten;
        });

        // Without a connection each command asks, then refuses; the action
        // line tells which command it was. The headline editor stores its
        // headlines before the refusal.
        const std::tuple<CommandLabel*, QString, QString> commands[] = {
            {rig.command("lblSendHeader"), " You are about to send the Header File ", "Send Header"},
            {rig.command("lblSendHeadlines"), " You are about to send the Headlines File ", "Send Message"},
            {rig.command("lblSendMessage"), " You are about to send the Message File ", "Send Message"}};
        for (const auto& [label, question, action] : commands) {
            rig.dialogs.clear();
            label->clicked();
            QCOMPARE(rig.dialogs.events, QStringList({"beep", question, "beep", " No existing connection active ......"}));
            QCOMPARE(rig.action(), action);
            QVERIFY(rig.sendCommandsEnabled());
        }
        QCOMPARE(hookRuns, 1);
        QCOMPARE(rig.box.readFor(50), QByteArray());

        // "No" sends nothing and does not run the headline editor's exit.
        rig.state.ConnectionActive = true;
        rig.dialogs.clear();
        rig.dialogs.answers = {Dialogs::Answer::No};
        rig.command("lblSendHeadlines")->clicked();
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send the Headlines File "}));
        QCOMPARE(hookRuns, 1);
        QCOMPARE(rig.box.readFor(50), QByteArray());

        // With a connection each sends its own file from the program folder.
        env.writeFile("\\RSHeader.txt", "RS LIST\r\n");
        env.writeFile("\\Message.txt", "THE MESSAGE\r\n");
        const std::pair<CommandLabel*, QByteArray> sends[] = {{rig.command("lblSendHeader"), "\rRS LIST\r\r\r"},
            {rig.command("lblSendHeadlines"), "\rZCZC HEADLINE\r\r\r"}, {rig.command("lblSendMessage"), "\rTHE MESSAGE\r\r\r"}};
        for (const auto& [label, bytes] : sends) {
            label->clicked();
            QCOMPARE(rig.received(bytes.size()), bytes);
        }
        QCOMPARE(hookRuns, 2);
        QCOMPARE(rig.part<TextTransmissions>().files().TransmitFile(), env.file("\\Message.txt"));
        QVERIFY(rig.dialogs.fileRequests.isEmpty());
        checkEnded(rig);

        // When the headline editor cannot write its file, the old one is
        // not sent; without the editor the file is sent as it is.
        headlineWritten = false;
        rig.command("lblSendHeadlines")->clicked();
        QCOMPARE(hookRuns, 3);
        QCOMPARE(rig.box.readFor(50), QByteArray());
        QVERIFY(rig.sendCommandsEnabled());
        rig.part<TextTransmissions>().files().setBeforeHeadlineSend({});
        rig.command("lblSendHeadlines")->clicked();
        QCOMPARE(rig.received(17), QByteArray("\rZCZC HEADLINE\r\r\r"));
    }

    void filesNotSent()
    {
        // No file chosen: nothing is sent.
        Connected rig(env);
        rig.sendText({});
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send a Text File "}));
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QCOMPARE(rig.box.readFor(50), QByteArray());
        checkEnded(rig);

        // Files not found are named and the dialog comes again until one is
        // there.
        const QString missing1 = env.configHome() + "/nowhere.txt";
        const QString missing2 = env.configHome() + "/no-folder/nothing.txt";
        rig.sendText({missing1, missing2, userFile("here.txt", "here")});
        QCOMPARE(rig.dialogs.texts(), QStringList({" You are about to send a Text File ", missing1 + " not found!",
                                                   missing2 + " not found!"}));
        QCOMPARE(rig.dialogs.asked[1].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.dialogs.fileRequests.size(), 3);
        QCOMPARE(rig.received(7), QByteArray("\rhere\r\r"));

        // A path the system cannot even look up: reported, no second dialog.
        const QString tooLong = env.configHome() + "/" + QString(300, 'n') + ".txt";
        rig.sendText({tooLong});
        checkRefused(rig, tooLong + "\n" + QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)));
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);

        // A folder, binary data, a file that cannot be read: each named with
        // its reason, nothing sent.
        QString unreadable = "/proc/self/mem"; // opens, but reading its start fails even for root
        if (::geteuid() != 0) {
            unreadable = userFile("secret.txt", "secret");
            QFile::setPermissions(unreadable, {});
        }
        QDir().mkpath(env.configHome() + "/a folder.txt");
        const QStringList refused = {env.configHome() + "/a folder.txt",
                                     userFile("binary.txt", QByteArray("MZ\x90\0\x03\0\0\0text", 12)), unreadable};
        for (const QString& path : refused) {
            rig.sendText({path});
            checkRefused(rig, path + "\n");
        }
        QVERIFY(rig.dialogs.asked[1].text.contains(QString::fromLocal8Bit(std::strerror(::geteuid() == 0 ? EIO : EACCES))));
    }

    void hugeFileStaysCancellable()
    {
        // 50 MB of text: reading, spelling and wrapping it let the window's
        // events run, so a Cancel given meanwhile ends it before anything
        // is sent.
        const QByteArray line = QByteArray("Gr\xFC\xDF" "e aus K\xF6ln, ein ziemlich langer Satz ohne Ende ").repeated(20) + "\r\n";
        const QString huge = userFile("huge.txt", line.repeated(50 * 1024 * 1024 / line.size()));
        Connected rig(env);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            if (++ticks == 3)
                rig.cancelWindow().cmdCancel->click();
        });
        ticker.start(0);
        rig.sendText({huge});
        ticker.stop();
        QVERIFY(ticks >= 3);
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(!QFile::exists(env.file("\\SendFile.txt")));
        QCOMPARE(rig.dialogs.asked.size(), 1); // the question only
        checkEnded(rig);
    }

    void unpacedMegabyteToASlowBox()
    {
        // No pause between characters and a box that reads in small bites:
        // the full device holds the sending back, the port stays open and
        // the box gets exactly the stream; Cancel still acts in between.
        QByteArray file;
        QByteArray expected = "\r";
        for (int i = 0; file.size() < (1 << 20); ++i) {
            const QByteArray line = "line " + QByteArray::number(i) + " of a long bulletin going out unpaced";
            file += line + "\r\n";
            expected += line + "\r";
        }
        expected += "\r\r";
        const QString path = userFile("bulletin.txt", file);

        Connected rig(env, 0.0);
        rig.box.setReadPace(1024, 1);
        rig.sendText({path});
        QCOMPARE(rig.received(expected.size(), 60000), expected);
        QVERIFY(rig.t().link().isOpen());
        QCOMPARE(rig.dialogs.asked.size(), 1); // the question only
        checkEnded(rig);

        // While a file goes out its four commands are held, paste is not.
        bool cancelled = false;
        bool held = false;
        connect(&rig.box, &PtyPair::bytesArrived, this, [&] {
            if (!cancelled && rig.box.received().size() > 100000) {
                cancelled = true;
                held = rig.cancelWindow().isVisible() && rig.command("lblPaste")->isEnabled();
                for (const char* name : {"lblSendText1", "lblSendHeader", "lblSendHeadlines", "lblSendMessage"})
                    held = held && !rig.command(name)->isEnabled();
                rig.cancelWindow().cmdCancel->click();
            }
        });
        rig.sendText({path});
        QVERIFY(cancelled && held);
        const QByteArray part = rig.received(1, 5000) + rig.box.readFor(500);
        QVERIFY(part.size() > 100000 && part.size() < expected.size() / 2);
        QVERIFY(expected.startsWith(part));
        checkEnded(rig);
    }
};

VORNAK_TEST_MAIN(TextFileTest)

#include "tst_textfile.moc"
