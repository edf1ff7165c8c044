// Typing and the line commands: the exact bytes at the box end of a
// pseudo-terminal.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "appearance/SoundEffects.h"

class LineCommandsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig : TerminalRig {
        explicit Rig(const TestEnvironment& env, bool open = true) : TerminalRig(env, open) {}
        void type(const QString& text)
        {
            for (const QChar c : text)
                QTest::keyClick(&terminal->terminal(), c.toLatin1());
        }
        QByteArray sent(int expected) { return box.waitForBytes(expected, 2000); }
    };

private slots:
    void init() { env.reset(); }

    void typingSendsAndCountsColumns()
    {
        Rig rig(env);
        StatusPanel& status = rig.status();
        // The counter, the ruler's length in characters, its colour, the
        // counter's colour and the beeps so far.
        auto ruler = [&] {
            return QStringList{status.lblMaxChar->text(), QString::number(status.Line1->lengthTwips() / 170),
                               status.Line1->color().name(), status.counterColor().name(),
                               QString::number(rig.dialogs.beeps)};
        };
        // Yellow from the 55th column, red with a beep from the 64th; the 69th
        // character ends the line.
        const std::pair<QString, QStringList> steps[] = {{QString(54, 'a'), {"54", "54", "#00ff00", "#00ff00", "0"}},
                                                         {"b", {"55", "55", "#ffff00", "#ffff00", "0"}},
                                                         {QString(8, 'c'), {"63", "63", "#ffff00", "#ffff00", "0"}},
                                                         {"d", {"64", "64", "#ff0000", "#ff0000", "1"}},
                                                         {"eeeef", {"0", "0", "#00ff00", "#00ff00", "1"}}};
        for (const auto& [typed, readings] : steps) {
            rig.type(typed);
            QCOMPARE(ruler(), readings);
        }
        QCOMPARE(rig.sent(70), QByteArray(54, 'a') + "b" + QByteArray(8, 'c') + "deeeef\r");
        QCOMPARE(rig.state.ColumnCount, qint16(0));
        // Typed keys never show in the window: it holds what the box sends.
        QCOMPARE(rig.text().lineText(), QString("Terminal Ready "));

        rig.type("hello world!");
        QTest::keyClick(&rig.text(), Qt::Key_Return);
        QCOMPARE(rig.sent(13), QByteArray("hello world!\r"));
        // The CR command resets the counter, not the ruler.
        rig.type("abcd");
        rig.click("lblCR");
        QCOMPARE(rig.sent(6), QByteArray("abcd\x1bM"));
        QCOMPARE(rig.state.ColumnCount, qint16(0));
        QCOMPARE(ruler(), QStringList({"0", "4", "#00ff00", "#00ff00", "1"}));
        // Umlauts go out as their Latin-1 byte, control keys as themselves.
        QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Udiaeresis, Qt::NoModifier, QString::fromUtf8("ü"));
        QApplication::sendEvent(&rig.text(), &umlaut);
        QTest::keyClick(&rig.text(), Qt::Key_Backspace);
        QCOMPARE(rig.received(2), QByteArray("\xfc\x08"));
    }

    void closedPortKeysStayInTheWindow()
    {
        Rig rig(env, false);
        rig.text().setLineText(QString());
        rig.type("abc");
        QCOMPARE(rig.state.ColumnCount, qint16(0));
        QCOMPARE(rig.text().toPlainText() + "|" + rig.text().lineText(), QString("abc|abc"));
        // The line commands send nothing; the time stamp only refreshes the labels.
        rig.state.DateFormat = "dd.mm.yyyy";
        rig.state.now = [] { return QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5)); };
        for (const char* command : {"lblBell", "LblCall", "lblTimeStamp"})
            rig.click(command);
        rig.CallNumber("12345", "Meier");
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(!rig.state.ConnectionActive);
        QCOMPARE(rig.action() + "|" + rig.status().lblDate->text(), QString("Program Parameters Loaded|02.01.2027"));
    }

    void everyCommandSendsItsSequence()
    {
        Rig rig(env);
        rig.state.CharDelay = 0;
        rig.state.DateFormat = "dd.mm.yyyy";
        rig.state.now = [] { return QDateTime(QDate(2026, 12, 4), QTime(15, 7, 9)); };
        const struct {
            const char* name;
            QByteArray bytes;
            QString action;
        } commands[] = {
            {"lblGoAhead", "+?", "Go Ahead"},
            {"lblIAm", "\r\t", "Sending Here Is"},
            {"lblWerda", "\r\x17", "Sending whoIs"},
            {"lblBell", "\x07", "Ringing the bell"},
            {"lblZi", "\x0f", " Sending Figures  1... "},
            {"lblBu", "\x0e", " Sending Letters  A... "},
            {"lblCR", "\x1bM", "Sending Carriage Return only"},
            {"lblLineFeed", "\x1bJ", "Sending Line feed only"},
            {"lblLoKal", "\x0c", "Local Mode Enabled"},
            {"LblMsg", "\x11", "Reading Quillnet Messages"},
            {"lblNexMessage", "n", "Next Quillnet Message"},
            {"lblCancelMsg", "l", "Cancel Quillnet Messages"},
            {"lblStatus", "\x14", "Reading Quillnet Status"},
            {"lblKonfig", "\x0b", "Configuration"},
            {"lblTimeStamp", "\rlocal date: 04.12.2026   local time:  15:07:09\r", "Sending Time Stamp"},
        };
        for (const auto& command : commands) {
            rig.click(command.name);
            QCOMPARE(rig.sent(command.bytes.size()), command.bytes);
            QCOMPARE(rig.action(), command.action);
        }
        QCOMPARE(rig.status().lblDate->text() + " " + rig.status().lblTempo->text(), QString("04.12.2026 15:07:09"));
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(rig.dialogs.asked.isEmpty());

        // The test lines need a call in progress.
        rig.click("LblFox");
        rig.click("LblRY");
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " No existing connection active ......", "beep",
                                                  " No existing connection active ......"}));
        QCOMPARE(rig.box.readFor(100), QByteArray());
        rig.state.ConnectionActive = true;
        rig.click("LblFox");
        QCOMPARE(rig.sent(59), QByteArray("\rthe quick brown fox jumps over the lazy dog 1234567890 ()\r"));
        rig.click("LblRY");
        QCOMPARE(rig.received(72), "\r" + QByteArray("ry").repeated(35) + "\r");

        // Numbers up to 85 are local and go out as numbers; above, behind the
        // prefix. Dialling sets the call in progress.
        rig.state.ConnectionActive = false;
        const struct {
            int prefix;
            const char* number;
            QByteArray bytes;
        } calls[] = {{0, "12", "\x01 12"},         {0, " 07", "\x01 7"},        {0, "85", "\x01 85"},
                     {0, "86", "\x01 086"},        {0, "12345", "\x01 012345"}, {-3, "4711", "\x01-34711"},
                     {12, "44123456", "\x01 1244123456"}};
        for (const auto& call : calls) {
            rig.state.DialPrefix = qint16(call.prefix);
            rig.CallNumber(call.number, "    Meier");
            QCOMPARE(rig.received(call.bytes.size()), call.bytes);
        }
        QVERIFY(rig.state.ConnectionActive && rig.text().lineText().endsWith("    Meier\r\n"));
        QCOMPARE(rig.action(), QString("Dialing 44123456     Meier"));
    }

    void callCloseAndGoAheadSetTheConnection()
    {
        Rig rig(env);
        const SoundEffects& sounds = rig.terminal->sounds();
        rig.control("frameHeadLine")->show();
        rig.click("LblCall");
        QCOMPARE(rig.sent(1), QByteArray("\x01"));
        QCOMPARE(rig.action(), QString("Dial Quillnet Number please"));
        // Connected, said in the window, the headline panel gone, and no
        // sound while muted.
        QVERIFY(rig.state.ConnectionActive && rig.text().lineText().endsWith("Dial Quillnet Number please\r\n")
                && !rig.control("frameHeadLine")->isVisible() && sounds.requested().isEmpty());
        rig.click("lblGoAhead");
        QCOMPARE(rig.sent(2), QByteArray("+?"));
        QCOMPARE(rig.state.ConnectionActive, false);

        rig.click("LblCall");
        rig.state.PreviewMode = false;
        rig.state.RSendPending = true;
        rig.command("lblRSend_1")->setEnabled(false);
        rig.click("LblCloseConnection");
        QCOMPARE(rig.sent(2), QByteArray("\x01\x13"));
        QCOMPARE(QList<int>({rig.state.ConnectionActive, rig.state.PreviewMode, rig.state.RSendPending}),
                 QList<int>({0, 1, 0}));
        QVERIFY(rig.command("lblRSend_1")->isEnabled());
        QCOMPARE(rig.action(), QString("Closing Quillnet Connection"));

        // Local mode sounds even while muted; with sound on, call and close
        // sound too, and so does the text the call shows.
        rig.click("lblLoKal");
        QCOMPARE(sounds.requested(), QStringList({"/soundstart.wav"}));
        rig.state.SoundMuted = false;
        rig.click("LblCall");
        rig.click("LblCloseConnection");
        QCOMPARE(sounds.requested(),
                 QStringList({"/soundstart.wav", "/soundstart.wav", "\\soundplain.wav", "/soundstop.wav"}));
    }
};

VORNAK_TEST_MAIN(LineCommandsTest)

#include "tst_linecommands.moc"
