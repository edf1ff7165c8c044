// What the box sends, as the terminal window shows it, and the watch for
// the automatic answers.
#include "support/TerminalRig.h"

#include "link/ReceivePath.h"
#include "link/ShowDataText.h"
#include "link/TerminalText.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QtTest>

class ReceiveTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig : TerminalRig {
        explicit Rig(const TestEnvironment& env) : TerminalRig(env, false)
        {
            terminal->txtTerm->setLineText(QString());
        }
        QString window() const { return terminal->txtTerm->lineText(); }
        // What the screen shows, once pending text is on it.
        QString screen()
        {
            terminal->txtTerm->showPending();
            return terminal->txtTerm->toPlainText();
        }
    };

private slots:
    void init() { env.reset(); }

    void textTransform()
    {
        QCOMPARE(prepareShowData("one\r\ntwo").insert, QString("one\r\ntwo"));
        QCOMPARE(prepareShowData("a\rb\nc").insert, QString("a\r\nbc"));
        ShowDataEdit edit = prepareShowData("abc\bd");
        QCOMPARE(edit.insert, QString("abd"));
        QVERIFY(!edit.replaceLastChar);
        edit = prepareShowData("\bxy");
        QCOMPARE(edit.insert, QString("xy"));
        QVERIFY(edit.replaceLastChar);
        // Two backspaces in a row eat two characters; one too many reaches
        // back into the window.
        QCOMPARE(prepareShowData("abcd\b\bx").insert, QString("abx"));
        edit = prepareShowData("a\b\bz");
        QCOMPARE(edit.insert, QString("z"));
        QVERIFY(edit.replaceLastChar);
        QCOMPARE(prepareShowData("\r\r").insert, QString("\r\n\r\n"));
        QCOMPARE(prepareShowData(QString()).insert, QString());
    }

    void windowShowsReceivedText()
    {
        Rig rig(env);
        rig.terminal->ShowData("first\r\nsecond");
        QCOMPARE(rig.window(), QString("first\r\nsecond"));
        QCOMPARE(rig.screen(), QString("first\nsecond"));

        rig.terminal->ShowData("abc\bd");
        QCOMPARE(rig.screen(), QString("first\nsecondabd"));
        rig.terminal->ShowData("\bX");
        QCOMPARE(rig.screen(), QString("first\nsecondabX"));
        rig.terminal->ShowData("\b");
        QCOMPARE(rig.screen(), QString("first\nsecondab"));

        // A backspace after a line end takes the invisible LF; the line
        // break stays on screen.
        rig.terminal->ShowData("\r");
        QCOMPARE(rig.window(), QString("first\r\nsecondab\r\n"));
        rig.terminal->ShowData("\bZ");
        QCOMPARE(rig.window(), QString("first\r\nsecondab\rZ"));
        QCOMPARE(rig.screen(), QString("first\nsecondab\nZ"));

        // Nothing to take in an empty window.
        rig.terminal->txtTerm->setLineText(QString());
        rig.terminal->ShowData("\bok");
        QCOMPARE(rig.window(), QString("ok"));
    }

    void windowIsTrimmed()
    {
        Rig rig(env);
        QString long16001;
        for (int i = 0; i < 16001; ++i)
            long16001 += i % 100 == 99 ? QChar('\r') : QChar('a' + i % 26);
        long16001.replace("\r", "\r\n");
        long16001.truncate(16001);
        rig.terminal->txtTerm->setLineText(long16001);
        rig.terminal->ShowData("new");
        QCOMPARE(rig.window(), long16001.mid(4096) + "new");
        QCOMPARE(rig.screen(), QString(long16001.mid(4096) + "new").remove('\n').replace('\r', '\n'));

        // Exactly 16000 is not trimmed.
        rig.terminal->txtTerm->setLineText(QString(16000, 'x'));
        rig.terminal->ShowData("y");
        QCOMPARE(rig.window().size(), 16001);
    }

    void screenFollowsTheTextWhileBatching()
    {
        // Received text reaches the screen in batches; trimming and
        // backspaces must land on the same characters whether the text is
        // already on the screen or still waiting.
        Rig rig(env);
        QRandomGenerator random(99);
        const QStringList pieces = {"abc", "\r\n", "\b", "\bX", "line of text\r", "\r", "\n\n", "xyz\b\b"};
        for (int round = 0; round < 3000; ++round) {
            rig.terminal->ShowData(pieces[random.bounded(pieces.size())].repeated(1 + random.bounded(30)));
            if (random.bounded(5) == 0)
                rig.terminal->txtTerm->showPending();
        }
        QString expected = rig.window();
        expected.remove('\n').replace('\r', '\n');
        QCOMPARE(rig.screen(), expected);
        QVERIFY(rig.window().size() <= 16000 + 30 * 14);
    }

    void anyBytesInAnyChunks()
    {
        Rig rig(env);
        QByteArray all;
        for (int round = 0; round < 100; ++round)
            for (int b = 0; b < 256; ++b)
                all += char(b);
        QRandomGenerator random(4711);
        int trims = 0;
        for (int at = 0; at < all.size();) {
            const int size = 1 + random.bounded(700);
            const int before = rig.window().size();
            rig.terminal->receivePath().onCommEvent(2, all.mid(at, size));
            at += size;
            QVERIFY(rig.window().size() <= 16000 + 2 * 700);
            if (rig.window().size() < before - 2000)
                ++trims;
        }
        QVERIFY(trims >= 2);
        QCOMPARE(rig.terminal->status.imgRX->picture(), 1);
    }

    void watchForAutomaticAnswers()
    {
        Rig rig(env);
        int answers = 0;
        int lists = 0;
        rig.terminal->receivePath().klklAnswer = [&] {
            ++answers;
            QCOMPARE(rig.state.KlklBusy, qint16(1));
            // Text arriving during the answer is not collected.
            rig.terminal->ShowData("klkl");
        };
        rig.terminal->receivePath().receiverListRequested = [&] { ++lists; };

        rig.terminal->ShowData("kl");      // not collected: the answer is off
        rig.state.KlklAuto = 1;
        rig.terminal->ShowData("kl");
        QCOMPARE(answers, 0);
        rig.terminal->ShowData("KLKL");
        QCOMPARE(answers, 0);
        rig.terminal->ShowData(" kl");
        rig.terminal->ShowData("kl ok");
        QCOMPARE(answers, 1);
        QCOMPARE(rig.state.KlklBusy, qint16(0));
        QCOMPARE(rig.terminal->receivePath().watchBuffer(), QString());

        rig.state.KlklAuto = 0;
        rig.state.RSendPending = 1;
        rig.terminal->ShowData("please, text  +++");
        rig.terminal->ShowData("):");
        QCOMPARE(lists, 1);
        rig.terminal->ShowData("klkl"); // the answer is off: no KLKL, however it is collected
        QCOMPARE(answers, 1);
        rig.terminal->ShowData("bitte text eingeben.");
        QCOMPARE(lists, 2);
        rig.state.RSendListSent = 1;
        rig.terminal->ShowData(" +++):");
        QCOMPARE(lists, 2);
    }

    void commEventsOnTheStatusLine()
    {
        Rig rig(env);
        ReceivePath& receive = rig.terminal->receivePath();
        rig.terminal->status.Timer2.stop();
        receive.onCommEvent(1);
        QCOMPARE(rig.terminal->status.imgTX->picture(), 1);
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Program Parameters Loaded"));

        receive.onCommEvent(1004);
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Status: Framing Error"));
        QVERIFY(!rig.terminal->status.Timer2.isActive());
        receive.onCommEvent(4711);
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Status: Unknown error or event"));

        receive.onCommEvent(3);
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Status: Change in CTS Detected"));
        QVERIFY(rig.terminal->status.Timer2.isActive());
        // Every later event shows the last event text again.
        rig.terminal->status.setAction("x");
        receive.onCommEvent(2, "hi");
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Status: Change in CTS Detected"));
        QCOMPARE(rig.terminal->status.imgRX->picture(), 1);
        QCOMPARE(rig.terminal->status.imgTX->picture(), 2);
        receive.onCommEvent(6);
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Status: The Phone is Ringing"));
    }

    void clockLabelsClearAndLogbook()
    {
        Rig rig(env);
        rig.state.now = [] { return QDateTime(QDate(2026, 12, 4), QTime(15, 7, 9)); };
        rig.state.DateFormat = "dd.mm.yyyy";
        rig.terminal->Timer3_Timer();
        QCOMPARE(rig.terminal->lblDate->text(), QString("04.12.2026"));
        QCOMPARE(rig.terminal->lblTempo->text(), QString("15:07:09"));

        rig.terminal->ShowData("text");
        rig.state.ColumnCount = 7;
        rig.terminal->frameHeadLine->show();
        rig.terminal->receivePath().lblClear_Click();
        QCOMPARE(rig.window(), QString());
        QCOMPARE(rig.terminal->status.lblAction->text(), QString("Text Cancelled"));
        QCOMPARE(rig.state.ColumnCount, qint16(0));
        QCOMPARE(rig.terminal->status.lblMaxChar->text(), QString("0"));
        QVERIFY(!rig.terminal->frameHeadLine->isVisible());

        rig.terminal->receivePath().lblLogbook_Click();
        QCOMPARE(rig.dialogs.opened.size(), 1);
        QCOMPARE(rig.dialogs.opened[0].toLocalFile(), env.file("\\vornak.log"));
        QVERIFY(QFileInfo::exists(env.file("\\vornak.log")));
        rig.dialogs.openSucceeds = false;
        rig.terminal->receivePath().lblLogbook_Click();
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QVERIFY(rig.dialogs.asked[0].text.contains("vornak.log"));
    }
};

int main(int argc, char** argv)
{
    ReceiveTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_receive.moc"
