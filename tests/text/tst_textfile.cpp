// The text-file transmission and its four commands, over a pseudo-terminal.
#include "support/ReadOnlyFolder.h"
#include "support/TerminalRig.h"

#include "app/StatusPanel.h"
#include "text/TextFileSender.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cerrno>
#include <cstring>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class TextFileTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // A file outside the program folder, as a user would pick one.
    QString userFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = env.configHome() + "/" + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        return path;
    }

    static TextFileSender& files(TerminalRig& rig) { return rig.t().textPart().files(); }

    static void checkEnded(TerminalRig& rig)
    {
        QVERIFY(rig.state.StopSend);
        QVERIFY(!rig.cancelWindow().isVisible());
        // The transmit lamp goes dark with the clock tick once the output
        // has drained (the line's transmit events light it meanwhile).
        rig.t().Timer3_Timer();
        QCOMPARE(rig.t().status.imgTX->picture(), 2);
        QVERIFY(rig.sendCommandsEnabled());
    }

private slots:
    void init() { env.reset(); }

    void chosenFileGoesOutSpelledAndWrapped()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        const QString utf8 = userFile("gruss.txt", QString::fromUtf8("Grüße aus Köln").toUtf8());
        rig.dialogs.files = {utf8};
        rig.t().lblSendText1->clicked();

        QCOMPARE(rig.received(20), QByteArray("\rGruesze aus Koeln\r\r"));
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send a Text File "}));
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QCOMPARE(rig.dialogs.fileRequests[0].title, QString("Send Text File"));
        QCOMPARE(rig.dialogs.fileRequests[0].filter, QString("Text Files (*.TXT)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(files(rig).TransmitFile(), utf8);
        QCOMPARE(env.readFile("\\SendFile.txt"), QByteArray("Gruesze aus Koeln\r\n\r\n"));
        QCOMPARE(rig.t().status.lblAction->text(), "Transmitting TextFile: " + utf8);
        QCOMPARE(rig.cancelWindow().lblStatus->text(), "Transmitting  TextFile: " + utf8);
        checkEnded(rig);

        // The same words in Latin-1, with paragraph ends: the line feeds of
        // the file are not sent.
        const QString latin1 = userFile("gruss1.txt", QString::fromUtf8("Grüße\r\naus Köln\r\n").toLatin1());
        rig.dialogs.files = {latin1};
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.received(21), QByteArray("\rGruesze\raus Koeln\r\r\r"));

        // Typographic signs of a UTF-8 file are spelled plainly.
        const QString signs = userFile("signs.txt", QString::fromUtf8("„Ja“ – 5 €…").toUtf8());
        rig.dialogs.files = {signs};
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.received(19), QByteArray("\r'Ja' - 5 EUR...\r\r"));
        checkEnded(rig);
    }

    void preparedFilesAndTheirCommands()
    {
        TerminalRig rig(env);
        int hookRuns = 0;
        bool headlineWritten = true;
        rig.t().setBeforeHeadlineSend([&] {
            ++hookRuns;
            if (headlineWritten)
                env.writeFile("\\Headline1.txt", "ZCZC HEADLINE\r\n");
            return headlineWritten;
        });

        // Without a connection each command asks, then refuses; the action
        // line tells which command it was.
        struct Command {
            CommandLabel* label;
            QString question;
            QString action;
        };
        const QList<Command> commands = {
            {rig.t().lblSendHeader, " You are about to send the Header File ", "Send Header"},
            {rig.t().lblSendHeadlines, " You are about to send the Headlines File ", "Send Message"},
            {rig.t().lblSendMessage, " You are about to send the Message File ", "Send Message"},
        };
        for (const Command& command : commands) {
            rig.dialogs.clear();
            command.label->clicked();
            QCOMPARE(rig.dialogs.events,
                     QStringList({"beep", command.question, "beep", " No existing connection active ......"}));
            QCOMPARE(rig.t().status.lblAction->text(), command.action);
            QVERIFY(rig.sendCommandsEnabled());
        }
        QCOMPARE(hookRuns, 1); // the headline editor stored its headlines before the refusal
        QCOMPARE(rig.box.readFor(50), QByteArray());

        // "No" sends nothing and does not run the headline editor's exit.
        rig.state.ConnectionActive = 1;
        rig.dialogs.clear();
        rig.dialogs.answers = {Dialogs::Answer::No};
        rig.t().lblSendHeadlines->clicked();
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send the Headlines File "}));
        QCOMPARE(hookRuns, 1);
        QCOMPARE(rig.box.readFor(50), QByteArray());

        // With a connection each sends its own file from the program folder.
        env.writeFile("\\RSHeader.txt", "RS LIST\r\n");
        env.writeFile("\\Message.txt", "THE MESSAGE\r\n");
        rig.t().lblSendHeader->clicked();
        QCOMPARE(rig.received(11), QByteArray("\rRS LIST\r\r\r"));
        rig.t().lblSendHeadlines->clicked();
        QCOMPARE(hookRuns, 2);
        QCOMPARE(rig.received(17), QByteArray("\rZCZC HEADLINE\r\r\r"));
        rig.t().lblSendMessage->clicked();
        QCOMPARE(rig.received(15), QByteArray("\rTHE MESSAGE\r\r\r"));
        QCOMPARE(files(rig).TransmitFile(), env.file("\\Message.txt"));
        QVERIFY(rig.dialogs.fileRequests.isEmpty());
        checkEnded(rig);

        // When the headline editor cannot write its file, the old one is
        // not sent.
        headlineWritten = false;
        rig.t().lblSendHeadlines->clicked();
        QCOMPARE(hookRuns, 3);
        QCOMPARE(rig.box.readFor(50), QByteArray());
        QVERIFY(rig.sendCommandsEnabled());
        headlineWritten = true;

        // Without a hook "Send Headline" simply sends the file as it is.
        rig.t().setBeforeHeadlineSend({});
        rig.t().lblSendHeadlines->clicked();
        QCOMPARE(rig.received(17), QByteArray("\rZCZC HEADLINE\r\r\r"));
    }

    void dialogCancelledAndFilesNotFound()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        rig.t().lblSendText1->clicked(); // no scripted file: the dialog is cancelled
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " You are about to send a Text File "}));
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QCOMPARE(rig.box.readFor(50), QByteArray());
        checkEnded(rig);

        const QString missing1 = env.configHome() + "/nowhere.txt";
        const QString missing2 = env.configHome() + "/no-folder/nothing.txt";
        const QString existing = userFile("here.txt", "here");
        rig.dialogs.clear();
        rig.dialogs.files = {missing1, missing2, existing};
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.dialogs.texts(), QStringList({" You are about to send a Text File ", missing1 + " not found!",
                                                   missing2 + " not found!"}));
        QCOMPARE(rig.dialogs.asked[1].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.dialogs.fileRequests.size(), 3);
        QCOMPARE(rig.received(7), QByteArray("\rhere\r\r"));

        // Not found, then cancelled: nothing is sent.
        rig.dialogs.clear();
        rig.dialogs.files = {missing1};
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.dialogs.fileRequests.size(), 2);
        QCOMPARE(rig.box.readFor(50), QByteArray());
        checkEnded(rig);
    }

    void filesThatCannotBeSent()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;

        // A path the system cannot even look up: reported, no second dialog.
        const QString tooLong = env.configHome() + "/" + QString(300, 'n') + ".txt";
        rig.dialogs.files = {tooLong};
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QCOMPARE(rig.dialogs.asked.last().icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked.last().text.contains(systemText(ENAMETOOLONG)));
        checkEnded(rig);

        QString unreadable;
        if (::geteuid() == 0) {
            unreadable = "/proc/self/mem"; // opens, but reading its start fails even for root
        } else {
            unreadable = userFile("secret.txt", "secret");
            QFile::setPermissions(unreadable, {});
        }
        QDir().mkpath(env.configHome() + "/a folder.txt");
        const QStringList refused = {env.configHome() + "/a folder.txt",
                                     userFile("binary.txt", QByteArray("MZ\x90\0\x03\0\0\0text", 12)),
                                     unreadable};
        for (const QString& path : refused) {
            rig.dialogs.clear();
            rig.dialogs.files = {path};
            rig.t().lblSendText1->clicked();
            QCOMPARE(rig.dialogs.asked.size(), 2);
            QCOMPARE(rig.dialogs.asked[1].icon, Dialogs::Icon::Exclamation);
            QVERIFY2(rig.dialogs.asked[1].text.startsWith(path + "\n"), qPrintable(rig.dialogs.asked[1].text));
            QCOMPARE(rig.box.readFor(50), QByteArray());
            checkEnded(rig);
        }
        QVERIFY(rig.dialogs.asked[1].text.contains(systemText(::geteuid() == 0 ? EIO : EACCES)));
    }

    void cancelMidFile()
    {
        TerminalRig rig(env, true, 0.01);
        rig.state.ConnectionActive = 1;
        const QString path = userFile("long.txt", QByteArray("abcd ").repeated(100));
        rig.dialogs.files = {path};
        bool sawWindow = false;
        QTimer::singleShot(300, &rig.cancelWindow(), [&] {
            sawWindow = rig.cancelWindow().isVisible() && !rig.t().lblSendText1->isEnabled()
                        && !rig.t().lblPaste->isEnabled();
            rig.cancelWindow().cmdCancel->click();
        });
        rig.t().lblSendText1->clicked();
        QVERIFY(sawWindow);
        QByteArray full = env.readFile("\\SendFile.txt");
        full.replace("\n", "");
        full.prepend('\r');
        const QByteArray sent = rig.box.readFor(200);
        QVERIFY2(sent.size() > 5 && sent.size() < full.size() / 2, qPrintable(QString::number(sent.size())));
        QVERIFY(full.startsWith(sent));
        checkEnded(rig);
    }

    void hugeFileStaysCancellable()
    {
        // 50 MB of text: reading, spelling and wrapping it let the window's
        // events run, so a Cancel given meanwhile ends it before anything
        // is sent.
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        const QByteArray line = QByteArray("Gr\xFC\xDF" "e aus K\xF6ln, ein ziemlich langer Satz ohne Ende ").repeated(20) + "\r\n";
        const QString path = userFile("huge.txt", line.repeated(50 * 1024 * 1024 / line.size()));
        rig.dialogs.files = {path};
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            if (++ticks == 3)
                rig.cancelWindow().cmdCancel->click();
        });
        ticker.start(0);
        rig.t().lblSendText1->clicked();
        ticker.stop();
        QVERIFY(ticks >= 3);
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(!QFile::exists(env.file("\\SendFile.txt")));
        QCOMPARE(rig.dialogs.asked.size(), 1); // the question only
        checkEnded(rig);
    }

    void scratchFileCannotBeWritten()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        rig.dialogs.files = {userFile("note.txt", "a note")};
        ReadOnlyFolder readOnly(env.folder());
        if (!readOnly.effective())
            QSKIP("this file system cannot make a folder read-only");
        rig.t().lblSendText1->clicked();
        QCOMPARE(rig.dialogs.asked.size(), 2);
        QCOMPARE(rig.dialogs.asked[1].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked[1].text.startsWith(env.file("\\SendFile.txt") + "\n"));
        QCOMPARE(rig.box.readFor(100), QByteArray());
        checkEnded(rig);
    }

    void boxVanishesMidFile()
    {
        TerminalRig rig(env, true, 0.05);
        rig.state.ConnectionActive = 1;
        rig.dialogs.files = {userFile("long.txt", QByteArray("abcd ").repeated(40))};
        QTimer::singleShot(300, &rig.box, [&] { rig.box.closeMaster(); });
        QElapsedTimer clock;
        clock.start();
        rig.t().lblSendText1->clicked(); // ten seconds of text
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!rig.t().link().isOpen());
        QCOMPARE(rig.dialogs.asked.size(), 2); // the question, then the lost port
        QVERIFY(rig.state.StopSend);
        QVERIFY(!rig.cancelWindow().isVisible());
        // The commands follow the closed port ...
        QVERIFY(!rig.t().lblSendText1->isEnabled());
        QVERIFY(!rig.t().lblPaste->isEnabled());
        // ... and come back with it.
        PtyPair again;
        QVERIFY(again.open());
        rig.settings.save("Ports", "Com1", again.slavePath());
        rig.t().lblOpen1_Click();
        QVERIFY(rig.t().link().isOpen());
        QVERIFY(rig.sendCommandsEnabled());
    }
};

int main(int argc, char** argv)
{
    TextFileTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfile.moc"
