// Paste with preview: the clipboard's text spelled, wrapped and either shown
// in the preview or sent, over a pseudo-terminal.
#include "TransmissionRig.h"
#include "support/TestMain.h"

#include "text/ClipboardPaste.h"

#include <QClipboard>
#include <QElapsedTimer>

class PasteTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    static void paste(TerminalRig& rig, const QString& clipboardText)
    {
        QGuiApplication::clipboard()->setText(clipboardText);
        rig.command("lblPaste")->clicked();
    }

    // A finished paste, however it ended, is back in preview mode with the
    // typing column's ruler at its green start.
    static void checkEndState(TerminalRig& rig)
    {
        checkEnded(rig);
        QVERIFY(rig.state.PreviewMode);
        QVERIFY(rig.status().Line1->lengthTwips() == 0 && rig.status().Line1->color() == QColor(0x00FF00));
    }

private slots:
    void init() { env.reset(); }

    void sendModeSpellsAndWraps()
    {
        // An empty clipboard, table A (Ä without a trailing blank, ß as sz),
        // characters beyond Latin-1 spelled plainly before the wrap, and
        // seventy three-letter words: seventeen to a line of 68 characters.
        // The scratch file holds the wrapped text with its line ends.
        Connected rig(env);
        const std::pair<QString, QByteArray> cases[] = {
            {"", "\r\r\r\r"}, {QString::fromUtf8("Äß @x"), "\rAesz (at)x\r\r\r"},
            {QString::fromUtf8("“Ja” – gut…"), "\r'Ja' - gut...\r\r\r"},
            {QString("abc ").repeated(69) + "abc",
             "\r" + (QByteArray("abc ").repeated(17) + "\r").repeated(4) + "abc abc\r\r\r"}};
        for (const auto& [text, bytes] : cases) {
            rig.state.PreviewMode = false;
            rig.status().Line1->extend(1700);
            paste(rig, text);
            QCOMPARE(rig.received(bytes.size()), bytes);
            QCOMPARE(env.readFile("\\clipboard.txt"), bytes.mid(1).replace("\r", "\r\n"));
            checkEndState(rig);
        }
        QVERIFY(rig.dialogs.asked.isEmpty());
        // The column counter ends on the last line end: CR, LF.
        QCOMPARE(rig.status().lblMaxChar->text(), QString("2"));

        // "a\nb" goes out as a, b and three carriage returns, but all nine
        // characters of "a\nb\r\n\r\n\r\n" take their pause.
        rig.state.CharDelay = 0.1;
        rig.state.PreviewMode = false;
        QElapsedTimer clock;
        clock.start();
        paste(rig, "a\nb");
        QVERIFY2(clock.elapsed() >= 880, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.received(6), QByteArray("\rab\r\r\r"));
    }

    void previewThenSend()
    {
        TerminalRig rig(env);
        ClipboardPaste& p = rig.part<TextTransmissions>().paste();
        QCOMPARE(QStringList({p.tabPreview->title(), p.cmdSendPreview->text(), p.cmdExitPreview->text()}),
                 QStringList({"Preview Paste / Send", "Send Preview", "Exit Preview"}));
        QVERIFY(p.tabPreview->isHidden() && rig.state.PreviewMode);

        // No connection: the preview still fills; only the carriage return
        // of both modes goes out.
        paste(rig, QString::fromUtf8("Grüße an alle"));
        QVERIFY(!p.tabPreview->isHidden());
        QCOMPARE(p.RichTextBox1->toPlainText(), QString("Gruesze an alle\n\n\n"));
        QCOMPARE(rig.received(1), QByteArray("\r"));
        QCOMPARE(rig.action(), QString("Transmitting Clipboard Text"));
        checkEndState(rig);

        // "Send Preview" without a connection is refused and leaves the send
        // mode set: the next Paste, once connected, goes out at once with
        // what the clipboard holds then.
        p.cmdSendPreview->click();
        QVERIFY(p.tabPreview->isHidden() && !rig.state.PreviewMode && rig.sendCommandsEnabled());
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " No active connection  ......"}));
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(rig.box.readFor(100), QByteArray());
        rig.state.ConnectionActive = true;
        paste(rig, "fresh text");
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.received(14), QByteArray("\rfresh text\r\r\r"));
        checkEndState(rig);

        // Connected: "Exit Preview" only hides the frame; a new Paste refills
        // the preview; "Send Preview" sends the clipboard as it is at that
        // moment, not the text shown, and empties the preview.
        paste(rig, "first text");
        QCOMPARE(rig.received(1), QByteArray("\r"));
        p.cmdExitPreview->click();
        QVERIFY(p.tabPreview->isHidden() && rig.state.PreviewMode);
        paste(rig, "second text");
        QCOMPARE(p.RichTextBox1->toPlainText(), QString("second text\n\n\n"));
        QCOMPARE(rig.received(1), QByteArray("\r"));
        QGuiApplication::clipboard()->setText("third text");
        p.cmdSendPreview->click();
        QVERIFY(p.tabPreview->isHidden() && p.RichTextBox1->toPlainText().isEmpty());
        QCOMPARE(rig.received(14), QByteArray("\rthird text\r\r\r"));
        checkEndState(rig);
        QCOMPARE(rig.dialogs.asked.size(), 1);
    }

    void whileAPasteRuns()
    {
        Connected rig(env, 0.01);
        rig.state.PreviewMode = false;
        bool sawWindow = false;
        // A paste holds back Paste and "Send Text File" only.
        QTimer::singleShot(300, &rig.cancelWindow(), [&] {
            sawWindow = rig.cancelWindow().isVisible()
                        && rig.cancelWindow().lblStatus->text() == "Transmitting Clipboard Text"
                        && !rig.command("lblPaste")->isEnabled() && !rig.command("lblSendText1")->isEnabled()
                        && rig.command("lblSendHeader")->isEnabled() && rig.command("lblSendMessage")->isEnabled();
            rig.cancelWindow().cmdCancel->click();
        });
        paste(rig, QString("abcd ").repeated(100));
        QVERIFY(sawWindow);
        const QByteArray full = "\r" + (QByteArray("abcd ").repeated(13) + "\r").repeated(7);
        const QByteArray sent = rig.box.readFor(300);
        QVERIFY2(sent.size() > 5 && sent.size() < full.size() / 2, qPrintable(QString::number(sent.size())));
        QVERIFY(full.startsWith(sent));
        checkEndState(rig);

        // "Send Message" stays clickable during a paste; what it sends waits
        // for the paste's end, so the two never mix on the line.
        env.writeFile("\\Message.txt", "THE MESSAGE\r\n");
        rig.state.PreviewMode = false;
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        QTimer::singleShot(100, &rig.cancelWindow(), [&] { rig.click("lblSendMessage"); });
        paste(rig, "first words");
        const QByteArray both = "\rfirst words\r\r\r" "\rTHE MESSAGE\r\r\r";
        QCOMPARE(rig.received(both.size()), both);
        QCOMPARE(rig.dialogs.texts(), QStringList({" You are about to send the Message File "}));
        checkEndState(rig);
    }
};

VORNAK_TEST_MAIN(PasteTest)

#include "tst_paste.moc"
