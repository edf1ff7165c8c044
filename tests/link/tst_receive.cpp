// What the box sends, as the terminal window shows it, and the watch for
// the automatic answers.
#include "support/TerminalRig.h"
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "appearance/SoundPlayer.h"
#include "link/ReceivePath.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

// A player that notes what it is asked to do; nothing is ever heard.
struct NotingPlayer : SoundPlayer {
    QStringList calls;
    void start(const QString& path) override { calls << "start " + QFileInfo(path).fileName(); }
    void stop(const QString& path) override { calls << "stop " + QFileInfo(path).fileName(); }
    bool isPlaying(const QString&) const override { return false; }
};

// The area of a widget drawn since `area` was last cleared.
class PaintedArea : public QObject {
public:
    explicit PaintedArea(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            area += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion area;
};

class ReceiveTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // The receive path on its own, in a stand-in main window whose desk
    // has the headline panel the Clear command hides.
    struct Rig : TestHost {
        NotingPlayer player;
        SoundEffects notedSounds{appState, player};
        SoundEffects& sounds() override { return notedSounds; }
        ReceivePath receive{*this};
        QWidget* frameHeadLine = new QWidget(&desk());
        explicit Rig(const TestEnvironment& env) : TestHost(env)
        {
            frameHeadLine->setObjectName("frameHeadLine");
            terminal().setLineText({});
        }
        void ShowData(const QString& text) { receive.ShowData(text); }
        QString windowText() { return terminal().lineText(); }
        // What the screen shows, once pending text is on it.
        QString screen()
        {
            terminal().showPending();
            return terminal().toPlainText();
        }
        // The screen as the window's text says it should be (as plain text, a no-break space is a blank).
        QString expectedScreen() { return windowText().remove('\n').replace('\r', '\n').replace(QChar(0xA0), ' '); }
    };

private slots:
    void init() { env.reset(); }

    void windowShowsReceivedText()
    {
        Rig rig(env);
        // Each piece arrives in a window holding "text": CR gets its LF, a
        // lone LF goes, a backspace takes the character before it and, at
        // the head of a piece, the window's last one.
        const QList<QPair<QString, QString>> pieces = {
            {"one\r\ntwo", "textone\r\ntwo"}, {"a\rb\nc", "texta\r\nbc"}, {"abc\bd", "textabd"},
            {"\bxy", "texxy"}, {"abcd\b\bx", "textabx"}, {"a\b\bz", "texz"}, {"\r\r", "text\r\n\r\n"}, {"", "text"}};
        for (const auto& [piece, window] : pieces) {
            rig.terminal().setLineText("text");
            rig.ShowData(piece);
            QCOMPARE(rig.windowText(), window);
            QCOMPARE(rig.screen(), rig.expectedScreen());
        }

        // A backspace after a line end takes the invisible LF; the line
        // break stays on screen.
        rig.ShowData("ab\r");
        rig.ShowData("\bZ");
        QCOMPARE(rig.windowText(), QString("textab\rZ"));
        QCOMPARE(rig.screen(), QString("textab\nZ"));
        // Nothing to take in an empty window.
        rig.terminal().setLineText(QString());
        rig.ShowData("\bok");
        QCOMPARE(rig.windowText(), QString("ok"));

        // Beyond 16000 characters the window drops its first 4096.
        QString long16001;
        for (int i = 0; long16001.size() < 16001; ++i)
            long16001 += i % 100 == 99 ? QString("\r\n") : QString(QChar('a' + i % 26));
        long16001.truncate(16001);
        rig.terminal().setLineText(long16001);
        rig.ShowData("new");
        QCOMPARE(rig.windowText(), long16001.mid(4096) + "new");
        QCOMPARE(rig.screen(), rig.expectedScreen());
        // Exactly 16000 is not trimmed.
        rig.terminal().setLineText(QString(16000, 'x'));
        rig.ShowData("y");
        QCOMPARE(rig.windowText().size(), 16001);

        // Muted, no sound. With sound on, the key sound is held for its time,
        // the window running (text arriving meanwhile has no sound of its
        // own), then closed.
        QVERIFY(rig.player.calls.isEmpty());
        rig.appState.SoundMuted = false;
        QTimer::singleShot(20, &rig, [&] { rig.ShowData("-meanwhile"); });
        QElapsedTimer held;
        held.start();
        rig.ShowData("heard");
        QVERIFY(held.elapsed() >= SoundEffects::kKeySoundMs && rig.windowText().endsWith("heard-meanwhile"));
        QCOMPARE(rig.player.calls, QStringList({"start soundplain.wav", "stop soundplain.wav"}));
    }

    void screenFollowsTheTextAnyBytesAnyChunks()
    {
        // Received text reaches the screen in batches; trimming and
        // backspaces must land on the same characters whether the text is
        // already on the screen or still waiting.
        Rig rig(env);
        QRandomGenerator random(99);
        const QStringList pieces = {"abc", "\r\n", "\b", "\bX", "line of text\r", "\r", "\n\n", "xyz\b\b"};
        for (int round = 0; round < 3000; ++round) {
            rig.ShowData(pieces[random.bounded(pieces.size())].repeated(1 + random.bounded(30)));
            if (random.bounded(5) == 0)
                rig.terminal().showPending();
        }
        QCOMPARE(rig.screen(), rig.expectedScreen());
        QVERIFY(rig.windowText().size() <= 16000 + 30 * 14);

        // Every byte value, in chunks of any size, through the port's path:
        // the window keeps within its limit, and each byte is one Latin-1
        // character (the last 242 hold no backspace or line end).
        QByteArray all;
        for (int b = 0; b < 256 * 100; ++b)
            all += char(b);
        for (int at = 0; at < all.size();) {
            const int size = 1 + random.bounded(700);
            rig.receive.onCommEvent(2, all.mid(at, size));
            at += size;
            QVERIFY(rig.windowText().size() <= 16000 + 2 * 700);
        }
        QVERIFY(rig.windowText().endsWith(QString::fromLatin1(all.right(242))));
        QCOMPARE(rig.screen(), rig.expectedScreen());
        QCOMPARE(rig.status().imgRX->picture(), 1);
    }

    void windowKeepsWhatTheLineCarried()
    {
        // The real window on a real line: whatever the pace, its text is
        // what the line carried (the length limit drops only from the head),
        // the screen shows that text, and the pixels drawn batch by batch
        // are the ones a full repaint draws.
        TerminalRig rig(env);
        rig.t().show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.t()));
        TerminalText& window = rig.text();
        const auto screenOf = [](QString text) { return text.remove('\n').replace('\r', '\n'); };
        const auto shownAsCarried = [&](const QString& carried) {
            QTRY_VERIFY_WITH_TIMEOUT(window.lineText().endsWith(carried.right(200)), 30000);
            QVERIFY(carried.endsWith(window.lineText()));
            QTRY_COMPARE(window.toPlainText(), screenOf(window.lineText()));
            // The scroll bar catches up with the text after its own pause.
            QTest::qWait(TerminalText::kScrollBarFollowMs + 100);
            QVERIFY(drawnAsRepainted(&window));
        };

        // A fast burst far past the length limit: the window keeps a tail of
        // at least the text the limit leaves.
        QByteArray burst;
        for (int i = 0; burst.size() < 200000; ++i)
            burst += "burst " + QByteArray::number(i) + ": the quick brown fox jumps over the lazy dog\r\n";
        QVERIFY(rig.box.write(burst));
        shownAsCarried("Terminal Ready " + QString::fromLatin1(burst));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(window.lineLength() > 16000 - 4096);

        // The line goes on a few lines at a time, past the limit: every
        // batch, also one that drops the head, draws only the lines it added
        // (not the whole window), and draws what a full repaint draws.
        PaintedArea painted(window.viewport());
        QString past;
        int drops = 0;
        for (int piece = 0; piece < 60; ++piece) {
            QByteArray text;
            for (int i = 0; text.size() < 150; ++i)
                text += "piece " + QByteArray::number(piece) + " line " + QByteArray::number(i) + " of text\r\n";
            const int before = window.lineLength();
            painted.area = QRegion();
            QVERIFY(rig.box.write(text));
            past += QString::fromLatin1(text);
            QTRY_VERIFY(window.lineText().endsWith(past.right(200))
                        && window.toPlainText() == screenOf(window.lineText()));
            QTRY_VERIFY(!painted.area.isEmpty());
            const QString at = QString("piece %1").arg(piece);
            QVERIFY2(painted.area.boundingRect().height() < window.viewport()->height() * 3 / 4, qPrintable(at));
            if (window.lineLength() < before + text.size()) {
                ++drops;
                QVERIFY2(drawnAsRepainted(window.viewport()), qPrintable(at));
            }
        }
        QVERIFY(drops >= 2);

        // A steady line in small pieces, backspaces among them, some split
        // from the letter they take. The link reads it in pauses (far fewer
        // reads than pieces); the last piece, a single character, comes
        // during a pause with nothing after it to wake the reader.
        window.setLineText(QString());
        int reads = 0;
        bool lastSent = false;
        QString carried;
        connect(&rig.t().link(), &SerialLink::received, this, [&] {
            ++reads;
            if (!lastSent && window.lineText() == carried) {
                lastSent = true;
                QVERIFY(rig.box.write("."));
            }
        });
        QByteArray line;
        for (int i = 0; line.size() < 6000; ++i)
            line += "slow " + QByteArray::number(i) + (i % 3 ? " abcx\bd\r\n" : " ok\r\n");
        for (const QChar c : QString::fromLatin1(line)) {
            if (c == '\b')
                carried.chop(1);
            else if (c != '\n')
                carried += c == '\r' ? QStringLiteral("\r\n") : QString(c);
        }
        int pieces = 0;
        for (qsizetype at = 0; at < line.size(); at += 23, ++pieces) {
            QVERIFY(rig.box.write(line.mid(at, 23)));
            QTest::qWait(7);
        }
        QTRY_VERIFY(lastSent);
        carried += '.';
        shownAsCarried(carried);
        QCOMPARE(window.lineText(), carried);
        QVERIFY2(reads < pieces / 2, qPrintable(QString("%1 reads of %2 pieces").arg(reads).arg(pieces)));
    }

    void watchForAutomaticAnswers()
    {
        Rig rig(env);
        int answers = 0;
        int lists = 0;
        connect(&rig.receive, &ReceivePath::klklRequested, this, [&] {
            ++answers;
            QCOMPARE(rig.appState.KlklBusy, true);
            // Text arriving during the answer is not collected.
            rig.ShowData("klkl");
        });
        connect(&rig.receive, &ReceivePath::receiverListRequested, this, [&] { ++lists; });

        // The answer switch, a receiver list pending, the list sent; a piece
        // of text; the answers and list requests so far.
        const struct {
            bool klklAuto, pending, listSent;
            const char* text;
            int answers, lists;
        } steps[] = {
            {0, 0, 0, "kl", 0, 0}, // not collected: the answer is off
            {1, 0, 0, "kl", 0, 0},   {1, 0, 0, "KLKL", 0, 0}, {1, 0, 0, " kl", 0, 0}, {1, 0, 0, "kl ok", 1, 0},
            {1, 0, 0, "kl", 1, 0}, // the watch starts afresh after an answer
            {0, 1, 0, "please, text  +++", 1, 0}, {0, 1, 0, "):", 1, 1},
            {0, 1, 0, "klkl", 1, 1}, // the answer is off: no KLKL, however it is collected
            {0, 1, 0, "bitte text eingeben.", 1, 2}, {0, 1, 1, " +++):", 1, 2},
            // Both watches on: a piece counts once, so a prompt or a "klkl"
            // arriving a character at a time is found. The "klkl" that came
            // during the answer, or while it was off, asks for nothing; one
            // piece asking for both gets both.
            {1, 1, 0, " +", 1, 2}, {1, 1, 0, "+", 1, 2}, {1, 1, 0, "+", 1, 2}, {1, 1, 0, ")", 1, 2},
            {1, 1, 0, ":", 1, 3},  {1, 1, 0, "k", 1, 3}, {1, 1, 0, "l", 1, 3}, {1, 1, 0, "k", 1, 3},
            {1, 1, 0, "l", 2, 3},  {1, 1, 0, "x", 2, 3}, {1, 1, 0, "klkl klkl +++):", 3, 4},
            {0, 1, 0, "klkl", 3, 4}, {1, 1, 0, "x", 3, 4},
        };
        for (const auto& step : steps) {
            rig.appState.KlklAuto = step.klklAuto;
            rig.appState.RSendPending = step.pending;
            rig.appState.RSendListSent = step.listSent;
            rig.ShowData(step.text);
            QVERIFY2(answers == step.answers && lists == step.lists, step.text);
            QCOMPARE(rig.appState.KlklBusy, false);
        }
        rig.ShowData(QString(100000, 'x')); // the watch keeps only what may begin a pattern
        QVERIFY(rig.receive.watchBuffer().size() < 20);
    }

    void statusLineClearAndLogbook()
    {
        Rig rig(env);
        ReceivePath& receive = rig.receive;
        StatusPanel& status = rig.status();
        status.Timer2.stop();
        receive.onCommEvent(1);
        QCOMPARE(status.imgTX->picture(), 1);
        QCOMPARE(status.lblAction->text(), QString("Program Parameters Loaded"));
        // Errors show at once; an event also starts the timer that shows it
        // again, after every later event too.
        const QList<QPair<int, QString>> events = {{1004, "Status: Framing Error"},
                                                   {4711, "Status: Unknown error or event"},
                                                   {3, "Status: Change in CTS Detected"},
                                                   {2, "Status: Change in CTS Detected"},
                                                   {6, "Status: The Phone is Ringing"}};
        for (const auto& [code, text] : events) {
            status.setAction("x");
            receive.onCommEvent(code, "hi");
            QCOMPARE(status.lblAction->text(), text);
            QCOMPARE(status.Timer2.isActive(), code < 1000);
        }
        QCOMPARE(QList<int>({status.imgRX->picture(), status.imgTX->picture()}), QList<int>({1, 2}));

        rig.appState.ColumnCount = 7;
        rig.frameHeadLine->show();
        receive.lblClear_Click();
        QCOMPARE(QStringList({rig.windowText(), status.lblAction->text(), QString::number(rig.appState.ColumnCount),
                              status.lblMaxChar->text()}),
                 QStringList({"", "Text Cancelled", "0", "0"}));
        QVERIFY(!rig.frameHeadLine->isVisible());

        // The log book is only opened, never made: a missing one is said.
        receive.lblLogbook_Click();
        QVERIFY(rig.scripted.opened.isEmpty() && !QFileInfo::exists(env.file("\\vornak.log")));
        QCOMPARE(rig.scripted.texts().size(), 1);
        QVERIFY(rig.scripted.asked[0].text.contains(env.file("\\vornak.log")));
        env.writeFile("\\vornak.log", "an entry\r\n");
        receive.lblLogbook_Click();
        QCOMPARE(rig.scripted.opened, QList<QUrl>({QUrl::fromLocalFile(env.file("\\vornak.log"))}));
        QCOMPARE(env.readFile("\\vornak.log"), QByteArray("an entry\r\n"));
        rig.scripted.openSucceeds = false;
        receive.lblLogbook_Click();
        QCOMPARE(rig.scripted.asked.size(), 2);
        QVERIFY(rig.scripted.asked[1].text.contains("vornak.log"));
    }
};

VORNAK_TEST_MAIN(ReceiveTest)

#include "tst_receive.moc"
