// Paste with preview: the clipboard's text spelled, wrapped and either shown
// in the preview or sent, over a pseudo-terminal.
#include "support/ReadOnlyFolder.h"
#include "support/TerminalRig.h"

#include "app/StatusPanel.h"
#include "text/ClipboardPaste.h"
#include "text/WrapText.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>

namespace {

void setClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

// Seventy distinct three-letter words with single blanks between them.
QStringList seventyWords()
{
    QStringList words;
    for (int i = 0; i < 70; ++i)
        words << QStringLiteral("w%1").arg(i, 2, 10, QChar('0'));
    return words;
}

} // namespace

class PasteTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    static ClipboardPaste& paste(TerminalRig& rig) { return rig.t().textPart().paste(); }

    // What a finished paste leaves behind, however it ended.
    static void checkEndState(TerminalRig& rig)
    {
        QCOMPARE(rig.state.PreviewMode, qint16(1));
        QVERIFY(rig.state.StopSend);
        QVERIFY(rig.t().lblPaste->isEnabled());
        QVERIFY(rig.t().lblSendText1->isEnabled());
        QVERIFY(!rig.cancelWindow().isVisible());
        // The transmit lamp goes dark with the clock tick once the output
        // has drained (the line's transmit events light it meanwhile).
        rig.t().Timer3_Timer();
        QCOMPARE(rig.t().status.imgTX->picture(), 2);
        QCOMPARE(rig.t().status.Line1->lengthTwips(), 0);
        QCOMPARE(rig.t().status.Line1->color(), QColor(0x00FF00));
    }

private slots:
    void init() { env.reset(); }

    void seventyWordsGoOutWrapped()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        rig.state.PreviewMode = 0;
        const QStringList words = seventyWords();
        setClipboard(words.join(' '));
        rig.t().status.Line1->extend(1700);

        rig.t().lblPaste->clicked();

        QByteArray expected = "\r";
        for (int line = 0; line < 4; ++line)
            expected += (QStringList(words.mid(line * 17, 17)).join(' ') + " \r").toLatin1(); // 68 characters
        expected += "w68 w69\r\r\r";
        QCOMPARE(rig.received(expected.size()), expected);
        checkEndState(rig);
        QVERIFY(rig.dialogs.asked.isEmpty());

        // The scratch file holds the wrapped text with its line ends.
        QByteArray scratch;
        for (int line = 0; line < 4; ++line)
            scratch += (QStringList(words.mid(line * 17, 17)).join(' ') + " \r\n").toLatin1();
        scratch += "w68 w69\r\n\r\n\r\n";
        QCOMPARE(env.readFile("\\clipboard.txt"), scratch);
        // The column counter ends on the last line end: CR, LF.
        QCOMPARE(rig.t().status.lblMaxChar->text(), QString("2"));
    }

    void emptyClipboardAndTableA()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        rig.state.PreviewMode = 0;
        setClipboard(QString());
        rig.t().lblPaste->clicked();
        QCOMPARE(rig.received(4), QByteArray("\r\r\r\r"));
        QCOMPARE(env.readFile("\\clipboard.txt"), QByteArray("\r\n\r\n\r\n"));

        // A paste spells with table A: Ä without a trailing blank, ß as sz.
        rig.state.PreviewMode = 0;
        setClipboard(QString::fromUtf8("Äß @x"));
        rig.t().lblPaste->clicked();
        QCOMPARE(rig.received(14), QByteArray("\rAesz (at)x\r\r\r"));

        // Characters beyond Latin-1 are spelled plainly before the wrap.
        rig.state.PreviewMode = 0;
        setClipboard(QString::fromUtf8("“Ja” – gut…"));
        rig.t().lblPaste->clicked();
        QCOMPARE(rig.received(17), QByteArray("\r'Ja' - gut...\r\r\r"));
        checkEndState(rig);
    }

    void lineFeedsCostTheirPause()
    {
        // "a\nb" goes out as a, b and three carriage returns, but all nine
        // characters of "a\nb\r\n\r\n\r\n" take their pause.
        TerminalRig rig(env, true, 0.1);
        rig.state.ConnectionActive = 1;
        rig.state.PreviewMode = 0;
        setClipboard("a\nb");
        QElapsedTimer clock;
        clock.start();
        rig.t().lblPaste->clicked();
        QVERIFY2(clock.elapsed() >= 880, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.received(6), QByteArray("\rab\r\r\r"));
    }

    void previewThenSendWithoutConnection()
    {
        TerminalRig rig(env);
        ClipboardPaste& p = paste(rig);
        QCOMPARE(p.tabPreview->title(), QString("Preview Paste / Send"));
        QCOMPARE(p.cmdSendPreview->text(), QString("Send Preview"));
        QCOMPARE(p.cmdExitPreview->text(), QString("Exit Preview"));
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.state.PreviewMode, qint16(1));

        // No connection: the preview still fills.
        setClipboard(QString::fromUtf8("Grüße an alle"));
        rig.t().lblPaste->clicked();
        QVERIFY(!p.tabPreview->isHidden());
        QCOMPARE(p.RichTextBox1->toPlainText(), QString("Gruesze an alle\n\n\n"));
        QCOMPARE(rig.received(1), QByteArray("\r")); // the one carriage return of both modes
        checkEndState(rig);

        // "Send Preview" without a connection is refused and leaves the send
        // mode set.
        p.cmdSendPreview->click();
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.dialogs.events, QStringList({"beep", " No active connection  ......"}));
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(rig.state.PreviewMode, qint16(0));
        QCOMPARE(rig.box.readFor(100), QByteArray());
        QVERIFY(rig.sendCommandsEnabled());

        // Once connected, the next Paste goes out at once, without a preview,
        // with what the clipboard holds then.
        rig.state.ConnectionActive = 1;
        setClipboard("fresh text");
        rig.t().lblPaste->clicked();
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.received(14), QByteArray("\rfresh text\r\r\r"));
        checkEndState(rig);
    }

    void previewThenSendWithConnection()
    {
        TerminalRig rig(env);
        ClipboardPaste& p = paste(rig);
        rig.state.ConnectionActive = 1;
        setClipboard("first text");
        rig.t().lblPaste->clicked();
        QCOMPARE(p.RichTextBox1->toPlainText(), QString("first text\n\n\n"));
        QCOMPARE(rig.received(1), QByteArray("\r"));
        QCOMPARE(rig.t().status.lblAction->text(), QString("Transmitting Clipboard Text"));

        // "Exit Preview" only hides the frame.
        p.cmdExitPreview->click();
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.state.PreviewMode, qint16(1));
        QCOMPARE(rig.box.readFor(50), QByteArray());

        // A new Paste refills the preview; "Send Preview" sends the clipboard
        // as it is at that moment, not the text shown.
        setClipboard("second text");
        rig.t().lblPaste->clicked();
        QCOMPARE(p.RichTextBox1->toPlainText(), QString("second text\n\n\n"));
        QCOMPARE(rig.received(1), QByteArray("\r"));
        setClipboard("third text");
        p.cmdSendPreview->click();
        QVERIFY(p.tabPreview->isHidden());
        QCOMPARE(rig.received(14), QByteArray("\rthird text\r\r\r"));
        QVERIFY(p.RichTextBox1->toPlainText().isEmpty()); // emptied when sending starts
        checkEndState(rig);
        QVERIFY(rig.dialogs.asked.isEmpty());
    }

    void cancelMidTransmission()
    {
        TerminalRig rig(env, true, 0.01);
        rig.state.ConnectionActive = 1;
        rig.state.PreviewMode = 0;
        const QString text = QString("abcd ").repeated(100);
        setClipboard(text);
        bool sawWindow = false;
        bool commandsHeld = false;
        QTimer::singleShot(300, &rig.cancelWindow(), [&] {
            sawWindow = rig.cancelWindow().isVisible()
                        && rig.cancelWindow().lblStatus->text() == "Transmitting Clipboard Text";
            commandsHeld = !rig.t().lblPaste->isEnabled() && !rig.t().lblSendText1->isEnabled();
            rig.cancelWindow().cmdCancel->click();
        });
        rig.t().lblPaste->clicked();
        QVERIFY(sawWindow);
        QVERIFY(commandsHeld);

        QByteArray full = "\r" + WrapTextBytes(text);
        const QByteArray sent = rig.box.readFor(300);
        QVERIFY2(sent.size() > 5 && sent.size() < full.size() / 2, qPrintable(QString::number(sent.size())));
        QVERIFY(full.startsWith(sent));
        checkEndState(rig);
        QVERIFY(rig.sendCommandsEnabled());
    }

    void scratchFileCannotBeWritten()
    {
        TerminalRig rig(env);
        rig.state.ConnectionActive = 1;
        setClipboard("some text");
        ReadOnlyFolder readOnly(env.folder());
        if (!readOnly.effective())
            QSKIP("this file system cannot make a folder read-only");
        rig.t().lblPaste->clicked();
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked[0].text.contains("clipboard.txt"));
        QVERIFY(rig.dialogs.asked[0].text.contains(QString::fromLocal8Bit(std::strerror(EPERM)))
                || rig.dialogs.asked[0].text.contains(QString::fromLocal8Bit(std::strerror(EACCES))));
        QCOMPARE(rig.box.readFor(100), QByteArray()); // nothing went out, not even the carriage return
        checkEndState(rig);
    }

private:
    // The bytes a paste sends for a text without line ends of its own.
    static QByteArray WrapTextBytes(const QString& text)
    {
        QString content = WrapText(text + "\r\n", 68) + "\r\n";
        content.remove('\n');
        return content.toLatin1();
    }
};

int main(int argc, char** argv)
{
    PasteTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_paste.moc"
