// The puncher part on a stand-in main window whose serial port is a
// pseudo-terminal: its commands, the puncher mode drawing the tape as the
// user types, and the punch command's bytes at the box.
#include "support/TerminalRig.h"
#include "support/TestHost.h"

#include "puncher/Lettering.h"
#include "puncher/PunchPanel.h"
#include "puncher/PuncherPart.h"
#include "puncher/TapeReading.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tapereading;

namespace {

const QString kNoConnection = QStringLiteral(" No existing connection active ......");

// The host with the puncher plugged in.
struct Rig {
    TestHost host;
    PuncherPart part;

    explicit Rig(const TestEnvironment& env, bool openPort = true, bool connected = true)
        : host(env, openPort), part(host)
    {
        host.appState.ConnectionActive = connected;
        host.appState.CharDelay = 0.001;
        host.show();
    }

    PunchPanel& frame() { return *part.frmPunch; }
    PunchTape& picture() { return *part.frmPunch->picPunch; }
    QLineEdit& input() { return *part.frmPunch->txtInput; }
    QString preview() const { return part.frmPunch->lblPreview->text(); }
    QString action() { return host.status().lblAction->text(); }
    // The preview caption and its colour, the status line, the punch command.
    QString readings()
    {
        return preview() + "|" + frame().previewColor().name() + "|" + action() + "|"
               + (frame().cmdPunch->isEnabled() ? "enabled" : "disabled");
    }

    // Opens the puncher mode as the user would.
    void openMode() { host.click("lblPuncher"); }
    void punch() { QTest::mouseClick(part.frmPunch->cmdPunch, Qt::LeftButton); }
};

QString lettered(const QString& text)
{
    QString sequence;
    Puncher(text, sequence);
    return sequence;
}

// The holes one character's glyph shows at the left edge.
QVector<Point> glyphAtLeftEdge(QChar character)
{
    const tape::Glyph* glyph = tape::glyphFor(character);
    return glyph ? tape::codeHoles({0, glyph}) : QVector<Point>();
}

} // namespace

class PuncherTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void commandsAndFrame()
    {
        Rig rig(env, false, false);
        QCOMPARE(rig.host.commandNames("Tape"), QStringList({"lblPuncher", "lblRSendToPunch"}));
        CommandLabel* puncher = rig.host.command("lblPuncher");
        // The frame waits hidden on the desk from the start.
        QCOMPARE(rig.frame().parentWidget(), &rig.host.desk());
        QCOMPARE(rig.frame().pos(), QPoint(2, 4));
        QVERIFY(!rig.frame().isVisible());

        // The puncher command follows the port (and its loss, below).
        QVERIFY(!puncher->isEnabled());
        QVERIFY(rig.host.link().open());
        QVERIFY(puncher->isEnabled());
        rig.host.box.readFor(50);

        // No call in progress: the guard, and the frame stays hidden; the
        // stop flag is cleared all the same.
        rig.host.appState.PunchStop = true;
        rig.openMode();
        QCOMPARE(rig.host.scripted.events, QStringList({"beep", kNoConnection}));
        QVERIFY(!rig.frame().isVisible() && !rig.part.modeRunning());
        QVERIFY(!rig.host.appState.PunchStop);

        // "RSend Punch" asks, and whatever the answer sends nothing.
        rig.host.scripted.clear();
        rig.host.scripted.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
        rig.host.click("lblRSendToPunch");
        rig.host.click("lblRSendToPunch");
        QCOMPARE(rig.host.scripted.texts(),
                 QStringList(2, "This option sends Header / Message / Textfile to the connected teleprinter for punching "));
        QCOMPARE(rig.host.scripted.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.host.box.readFor(100), QByteArray());
    }

    void modeDrawsEveryEdit()
    {
        Rig rig(env);
        QVERIFY(QTest::qWaitForWindowActive(&rig.host));
        rig.input().setText("left from before");
        rig.host.appState.PunchStop = true;
        rig.openMode();

        // The frame opens over the text window, fitted to the desk, with an
        // empty text box that has the keyboard and a blank tape.
        QVERIFY(rig.frame().isVisible() && rig.part.modeRunning());
        QVERIFY(!rig.host.appState.PunchStop);
        // All of the text well, its dark frame included (as the standard
        // skin draws it), lies under the frame.
        QVERIFY(rig.frame().geometry().contains(QRect(QPoint(29, 14), QPoint(867, 347))));
        QCOMPARE(rig.input().text(), QString());
        QTRY_VERIFY(rig.input().hasFocus());
        QVERIFY(rig.picture().isBlank());

        // Every edit redraws the whole text: feed holes, then the glyphs (the
        // b typed and taken back leaves nothing).
        QTest::keyClicks(&rig.input(), "ab");
        QTest::keyClick(&rig.input(), Qt::Key_Backspace);
        QCOMPARE(pictureDifferences(rig.picture(), tape::tapePoints("a"), 0, 120), QString());
        QTest::keyClicks(&rig.input(), " 1:2");
        QCOMPARE(pictureDifferences(rig.picture(), tape::tapePoints("a 1:2"), 0, 260), QString());
        QCOMPARE(rig.host.appState.PunchX, 0);
        rig.input().clear();
        QVERIFY(rig.picture().isBlank());

        // A long text keeps the place being typed in view.
        rig.input().setText(QString(300, 'W'));
        QVERIFY(rig.picture().leftInView() > 300 * 44 - 1000);
        QTest::keyClick(&rig.input(), Qt::Key_Home);
        QCOMPARE(rig.picture().leftInView(), 0);

        // DrawPunchTape starts at PunchX and leaves it at 0.
        rig.picture().clear();
        rig.host.appState.PunchX = 100;
        rig.part.DrawPunchTape(".");
        QCOMPARE(rig.host.appState.PunchX, 0);
        QCOMPARE(pictureDifferences(rig.picture(), {{105, 55}}, 0, 140), QString());

        // Exit: the frame goes, the stop flag is set, edits no longer draw.
        QTest::mouseClick(rig.frame().cmdEndPunch, Qt::LeftButton);
        QVERIFY(!rig.frame().isVisible() && !rig.part.modeRunning());
        QVERIFY(rig.host.appState.PunchStop);
        rig.picture().clear();
        rig.input().setText("xyz");
        QVERIFY(rig.picture().isBlank());

        QCOMPARE(rig.host.box.readFor(50), QByteArray()); // the mode sends nothing
    }

    void punchSendsOneCharacterAtATime()
    {
        Rig rig(env);
        rig.host.appState.CharDelay = 0.02;
        rig.openMode();
        rig.input().setText("Ab");
        const QString sequence = lettered("Ab");

        // At every arrival at the box: the status texts, and the picture
        // with the glyph of the character just sent at the left edge. The
        // port writes on the next turn of the event loop, so on a busy
        // machine the box may read a character when the one after it is
        // already sent and shown.
        QStringList seen;
        QStringList pictureProblems;
        int arrivals = 0;
        QByteArray arrived;
        connect(&rig.host.box, &PtyPair::bytesArrived, this, [&](const QByteArray& bytes) {
            if (arrivals++ == 0)
                rig.part.cmdPunch_Click(); // a second punch meanwhile is not started
            seen << rig.readings();
            arrived += bytes;
            QString problems = pictureDifferences(rig.picture(), glyphAtLeftEdge(QChar(bytes.back())), 0, 60);
            if (!problems.isEmpty() && arrived.size() < sequence.size()
                && pictureDifferences(rig.picture(), glyphAtLeftEdge(sequence[arrived.size()]), 0, 60).isEmpty())
                problems.clear();
            if (!problems.isEmpty())
                pictureProblems << QString(QChar(bytes.back())) + ": " + problems;
            // An edit meanwhile redraws the whole text; the next character,
            // though its glyph is the one just shown, shows it alone again.
            if (arrived.endsWith("VS"))
                rig.input().setText("Ab ");
        });
        QElapsedTimer clock;
        clock.start();
        rig.punch();
        const qint64 elapsed = clock.elapsed();

        QCOMPARE(rig.host.box.readFor(150), sequence.toLatin1());
        QVERIFY(arrivals > 0);
        seen.removeDuplicates();
        QCOMPARE(seen, QStringList({" Puncher Active |#ff0000|Sending Human Readables|disabled"}));
        QCOMPARE(pictureProblems, QStringList());
        // One character delay after every character.
        QVERIFY2(elapsed >= qint64(sequence.size() * 20 * 0.95), qPrintable(QString::number(elapsed)));
        // Afterwards: the caption back, the command free again, the last
        // (blank) column's empty picture.
        QCOMPARE(rig.readings(), QString("Preview|#000000|Sending Human Readables|enabled"));
        QCOMPARE(pictureDifferences(rig.picture(), {}, 0, 60), QString());
        QVERIFY(rig.host.scripted.asked.isEmpty());
        // The screen is painted at most every few hundredths of a second
        // while punching; the last change still reaches it.
        QTRY_VERIFY(!rig.picture().repaintHeld());
        QCoreApplication::processEvents();
        QVERIFY(drawnAsRepainted(rig.picture().viewport()));
    }

    void punchWithoutTheLine()
    {
        // Port closed: nothing sent or waited for, the status line left
        // alone, the caption restored.
        Rig rig(env, false);
        rig.host.appState.CharDelay = 1.0;
        rig.frame().setPreviewCaption(" Puncher Active ", Qt::red);
        rig.host.status().setAction("Status: ");
        rig.input().setText("VORNAK PUNCHES TAPE");
        rig.punch();
        QCOMPARE(rig.readings(), QString("Preview|#000000|Status: |enabled"));
        QVERIFY(rig.picture().isBlank());
        QVERIFY(rig.host.link().open());
        QCOMPARE(rig.host.box.readFor(150), QByteArray());

        // The line lost during a punch: the rest is not sent, the caption
        // is restored. The loss is reported once, by whoever watches the
        // line for the whole program, not by the puncher.
        rig.host.appState.CharDelay = 0.01;
        QByteArray received;
        connect(&rig.host.box, &PtyPair::bytesArrived, this, [&](const QByteArray& bytes) {
            received += bytes;
            if (received.size() >= 10 && rig.host.box.isOpen())
                QTimer::singleShot(0, &rig.host.box, [&rig] { rig.host.box.closeMaster(); });
        });
        rig.punch();
        QVERIFY(received.size() >= 10 && received.size() < lettered(rig.input().text()).size());
        QVERIFY(!rig.host.link().isOpen() && !rig.host.command("lblPuncher")->isEnabled());
        QCOMPARE(rig.readings(), QString("Preview|#000000|Sending Human Readables|enabled"));
        QVERIFY(!rig.part.punching());
        QVERIFY(rig.host.scripted.asked.isEmpty());
    }
};

QTEST_MAIN(PuncherTest)
#include "tst_puncher.moc"
