// The automatic KLKL answer and its switch, over a pseudo-terminal. Every
// answer that goes out waits its real three seconds after the first line
// ends.
#include "TransmissionRig.h"
#include "support/TestMain.h"

#include "text/KlklAnswer.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstring>

class KlklTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void answerAndItsFile()
    {
        // Two line ends, three seconds, two more, the text with its line
        // feeds, four line ends to close. Table B, KLKL column: ß stays, ö is
        // "oe" without a blank. A line that the wrap leaves long gets a
        // carriage return past column 69.
        env.writeFile("\\klkl.txt", QByteArray("Grüße Köln\r\n") + QByteArray(100, 'x') + "\r\n"); // UTF-8
        TerminalRig rig(env);
        // What the window shows while the lead-in pause runs (the first
        // bytes arrive then), and when each piece reached the box.
        bool duringPause = false;
        QElapsedTimer clock;
        QList<QPair<qint64, QByteArray>> arrivals;
        connect(&rig.box, &PtyPair::bytesArrived, this, [&](const QByteArray& bytes) {
            if (arrivals.isEmpty())
                duringPause = rig.cancelWindow().isVisible()
                              && rig.cancelWindow().lblStatus->text() == "Transmitting KLKL - "
                              && rig.action() == "Transmitting KLKL File" && rig.state.KlklBusy
                              && rig.sendCommandsEnabled(); // the answer holds no command back
            arrivals << qMakePair(clock.elapsed(), bytes);
        });
        clock.start();
        rig.SendKLKL();
        QVERIFY(duringPause);
        QVERIFY(arrivals.size() >= 2);
        QCOMPARE(arrivals[0].second, QByteArray("\r\r"));
        QVERIFY2(arrivals[1].first - arrivals[0].first >= 2900, qPrintable(QString::number(arrivals[1].first)));
        const QByteArray expected = "\r\r\r\rGrue\xDF" "e Koeln\n\n" + QByteArray(68, 'x') + "\r" + QByteArray(32, 'x')
                                    + "\n\n\r\r\r\r";
        QCOMPARE(rig.received(expected.size()), expected);
        QCOMPARE(env.readFile("\\klkl-Temp.txt"), "Gr\xFC\xDF" "e K\xF6ln\r\n\r\n" + QByteArray(100, 'x') + "\r\n\r\n");
        QVERIFY(!rig.state.KlklBusy && rig.dialogs.asked.isEmpty());
        checkEnded(rig);

        // No answer file: the reason, then only the closing line ends (a
        // scratch file that cannot be written is in the folder fault tests).
        QFile::remove(env.file("\\klkl.txt"));
        rig.SendKLKL();
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.dialogs.asked[0].text,
                 env.file("\\klkl.txt") + "\n" + QString::fromLocal8Bit(std::strerror(ENOENT)));
        QCOMPARE(rig.received(4), QByteArray("\r\r\r\r"));
        checkEnded(rig);
    }

    void theSwitchAndAClosedPort()
    {
        TerminalRig rig(env, false);
        CommandLabel* button = rig.part<TextTransmissions>().klkl().lblKlKl;
        QVERIFY(button->text() == "klkl" && button->toolTip() == "Toggle KLKL Automatic Answer");
        // It switches with the port closed as well, white off, green on.
        QVERIFY(button->isEnabled());
        // The key draws its caption in that colour.
        const auto greenOnKey = [button] {
            const QImage drawn = button->grab().toImage();
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    if (const QColor c = drawn.pixelColor(x, y); c.green() > 230 && c.red() < 60 && c.blue() < 60)
                        return true;
            return false;
        };
        for (int state : {0, 1, 0}) {
            QCOMPARE(rig.state.KlklAuto, bool(state));
            QCOMPARE(button->captionColor(), QColor(state ? 0x00FF00 : 0xFFFFFF));
            QCOMPARE(greenOnKey(), bool(state));
            button->clicked();
        }

        // An answer with the port closed sends nothing and does not wait (a
        // thousand seconds a character would outlast the test's time limit).
        env.writeFile("\\klkl.txt", "answer\r\n");
        rig.state.CharDelay = 1000.0;
        rig.SendKLKL();
        QVERIFY(rig.state.StopSend && !rig.cancelWindow().isVisible());
        QVERIFY(rig.dialogs.asked.isEmpty());
    }

    void answerAfterACancelledFileAndAnAnswerSwitchedOff()
    {
        env.writeFile("\\klkl.txt", "auto answer\r\n");
        Connected rig(env, 0.01);
        rig.state.KlklAuto = true;
        const QString path = userFile(env, "long.txt", QByteArray("abcd ").repeated(100));
        // The answer is asked for, then the user cancels the file: the file
        // stops, the answer still goes out whole after it.
        QTimer::singleShot(150, &rig.box, [&] { rig.SendKLKL(); });
        QTimer::singleShot(300, &rig.box, [&] { rig.cancelWindow().cmdCancel->click(); });
        rig.sendText({path});

        const QByteArray answer = "\r\r\r\rauto answer\n\n\r\r\r\r";
        QTRY_VERIFY_WITH_TIMEOUT(rig.box.received().endsWith(answer), 8000);
        const QByteArray sent = rig.box.readFor(150);
        QVERIFY(sent.endsWith(answer));
        const QByteArray fileBytes = sent.chopped(answer.size());
        const QByteArray full = "\r" + (QByteArray("abcd ").repeated(13) + "\r").repeated(7);
        QVERIFY2(fileBytes.size() > 5 && fileBytes.size() < full.size() / 2, qPrintable(QString::number(fileBytes.size())));
        QVERIFY(full.startsWith(fileBytes));
        QCOMPARE(rig.cancelWindow().lblStatus->text(), "Transmitting KLKL - " + path);
        checkEnded(rig);

        // An answer waiting while the automatic answer is switched off is
        // dropped.
        QTimer::singleShot(30, &rig.box, [&] {
            rig.SendKLKL();
            rig.part<TextTransmissions>().klkl().lblKlKl_Click();
        });
        rig.SendTxt(QString(10, 'y'));
        QCOMPARE(rig.received(11, 2000), "\r" + QByteArray(10, 'y'));
        QVERIFY(!rig.part<TextTransmissions>().control().hasWaitingJob());
    }
};

VORNAK_TEST_MAIN(KlklTest)

#include "tst_klkl.moc"
