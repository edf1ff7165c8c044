// The preset phrases sent from their labels, checked at the box end of a
// pseudo-terminal, and the commands that open the editor on the prepared
// texts.
#include "support/TestEnvironment.h"
#include "support/TestHost.h"

#include "editor/EditorPart.h"
#include "editor/frmEdit.h"
#include "prepared/EditorLaunchers.h"
#include "prepared/PresetPhrases.h"
#include "text/LineEncoding.h"
#include "text/Transliteration.h"

#include <QLabel>
#include <QtTest>

namespace {

// The text sender as the terminal has it: a carriage return, then each
// character spelled with table B, at no pace.
TextSender lineSender(SerialLink& link, QStringList* sent)
{
    return [&link, sent](const QString& text) {
        *sent << text;
        link.send("\r");
        for (const QChar c : spellBeyondLatin1(text))
            link.send(ConvertForSendTxt(QString(c)));
    };
}

} // namespace

class PresetPhrasesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void firstTenLinesBecomeCaptions()
    {
        using presetphrases::captionsFromText;
        QCOMPARE(captionsFromText("one\r\ntwo\r\nthree\r\n"),
                 QStringList({"one", "two", "three", "", "", "", "", "", "", ""}));
        QString twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += QStringLiteral("phrase %1\r\n").arg(i);
        const QStringList ten = captionsFromText(twelve);
        QCOMPARE(ten.size(), 10);
        QCOMPARE(ten.first(), QString("phrase 1"));
        QCOMPARE(ten.last(), QString("phrase 10"));
        // An empty line is a phrase of its own.
        QCOMPARE(captionsFromText("a\r\n\r\nc").mid(0, 4), QStringList({"a", "", "c", ""}));

        // On the desk: loaded when the part is made.
        env.writeFile("\\QuillnetPresetText.txt", "one\r\ntwo\r\nthree\r\n");
        TestHost host(env);
        QStringList sent;
        PresetPhrases phrases(host, lineSender(host.link(), &sent));
        QCOMPARE(phrases.framePresetText->parentWidget(), &host.desk());
        QStringList captions;
        for (CommandLabel* label : phrases.lblPresetText) {
            captions << label->text();
            QCOMPARE(label->toolTip(), QString("Test Phrases for allignment purpose"));
        }
        QCOMPARE(captions, QStringList({"one", "two", "three", "", "", "", "", "", "", ""}));

        // Loading again empties first; a missing file leaves all empty,
        // without a message.
        QFile::remove(env.file("\\QuillnetPresetText.txt"));
        phrases.load();
        for (CommandLabel* label : phrases.lblPresetText)
            QVERIFY(label->text().isEmpty());
        QVERIFY(host.scripted.asked.isEmpty());

        // A file that cannot be read is reported once, not at every load.
        QDir().mkpath(env.file("\\QuillnetPresetText.txt"));
        phrases.load();
        phrases.load();
        QCOMPARE(host.scripted.asked.size(), 1);
        QVERIFY(host.scripted.asked[0].text.startsWith("The preset phrases cannot be read"));
    }

    void phrasesReachTheBoxSpelled()
    {
        env.writeFile("\\QuillnetPresetText.txt", QString::fromUtf8("mail @ box\r\nsch\u00f6n\r\n").toUtf8());
        TestHost host(env, true);
        QStringList sent;
        PresetPhrases phrases(host, lineSender(host.link(), &sent));
        QCOMPARE(phrases.lblPresetText[1]->text(), QString::fromUtf8("schön"));
        host.appState.ConnectionActive = true;
        host.terminal().setLineText("received\r\n");
        host.terminal().moveCursor(QTextCursor::Start);

        QTest::mouseClick(phrases.lblPresetText[0], Qt::LeftButton);
        QCOMPARE(host.box.waitForBytes(14, 2000), QByteArray("\rmail (at) box"));
        QTest::mouseClick(phrases.lblPresetText[1], Qt::LeftButton);
        QCOMPARE(host.box.waitForBytes(8, 2000), QByteArray("\rschoe n"));
        // An empty label sends the carriage return alone.
        QTest::mouseClick(phrases.lblPresetText[5], Qt::LeftButton);
        QCOMPARE(host.box.waitForBytes(1, 2000), QByteArray("\r"));
        QCOMPARE(host.box.readFor(100), QByteArray());
        // The phrase travels between two carriage returns, which SendTxt drops.
        QCOMPARE(sent, QStringList({"\rmail @ box\r", QString::fromUtf8("\rschön\r"), "\r\r"}));
        QVERIFY(host.scripted.asked.isEmpty());
        // Typing goes on at the end of the terminal text.
        QVERIFY(host.terminal().textCursor().atEnd());
    }

    void guardsComeFirst()
    {
        env.writeFile("\\QuillnetPresetText.txt", "hello\r\n");
        TestHost host(env, false);
        QStringList sent;
        PresetPhrases phrases(host, lineSender(host.link(), &sent));

        // No call: a beep and the connection message, whatever the port.
        QTest::mouseClick(phrases.lblPresetText[0], Qt::LeftButton);
        QCOMPARE(host.scripted.events, QStringList({"beep", " No existing connection active ......"}));
        QCOMPARE(host.scripted.asked[0].buttons, Dialogs::Buttons::Ok);

        // A call but the port closed: the port message, no beep.
        host.scripted.clear();
        host.appState.ConnectionActive = true;
        QTest::mouseClick(phrases.lblPresetText[0], Qt::LeftButton);
        QCOMPARE(host.scripted.events, QStringList{"Open Communication Port First ..... "});
        QVERIFY(sent.isEmpty());

        QVERIFY(host.link().open());
        host.appState.ConnectionActive = false;
        QTest::mouseClick(phrases.lblPresetText[0], Qt::LeftButton);
        QVERIFY(sent.isEmpty());
        QCOMPARE(host.box.readFor(100), QByteArray());
    }

    void launchersOpenTheEditorOnTheirFiles()
    {
        TestHost host(env);
        QStringList opened;
        EditorLaunchers launchers(host, [&](const QString& file, int mode) {
            opened << QStringLiteral("%1|%2|%3").arg(file).arg(mode).arg(host.status().lblAction->text());
        });
        QCOMPARE(host.commandNames("Texts"),
                 QStringList({"lblEditKLKL", "lblEditRund", "lblEditData", "lblEditConfig", "lblEditor"}));
        // The free editor shows a picture instead of a caption.
        QVERIFY(host.command("lblEditor")->text().isEmpty());
        QVERIFY(!host.command("lblEditor")->pixmap().isNull());

        const QString folder = env.folder();
        for (const QString& name : host.commandNames("Texts"))
            host.click(name);
        QCOMPARE(opened, QStringList({folder + "/klkl.txt|0|Loading Rundsenden Message Editor",
                                      folder + "/Message.txt|0|Loading Rundsenden Message Editor",
                                      folder + "/QuillnetPresetText.txt|2|Loading Preset Text Editor",
                                      folder + "/QuillnetUsb.cfg|1|Loading Configuration Editor",
                                      folder + "/ |4|Loading Editor"}));
        // The configuration warns first; it and the free editor beep.
        QCOMPARE(host.scripted.events,
                 QStringList({"beep", "After editing you must restart the program to load changes ", "beep"}));
        QCOMPARE(host.appState.EditFile, folder + "/ ");
        QCOMPARE(host.appState.EditMode, 4);
    }

    void launcherOpensTheRealEditor()
    {
        TestHost host(env);
        EditorPart editor(host, {});
        EditorLaunchers launchers(host, editor.opener());
        QStringList seen;
        QTimer::singleShot(0, &host, [&] {
            auto* window = host.findChild<frmEdit*>();
            QVERIFY(window);
            seen << window->lblStatus->text() << window->txtText->toPlainText().section('\n', 0, 0);
            window->Toolbar_ButtonClick("exit");
        });
        host.click("lblEditData");
        QCOMPARE(seen, QStringList({"You are editing the Preset Phrases " + env.file("\\QuillnetPresetText.txt"),
                                    "ok, received well, thanks"}));
        // Loaded text counts as changed: leaving asked about it.
        QCOMPARE(host.scripted.asked.size(), 1);
    }
};

QTEST_MAIN(PresetPhrasesTest)
#include "tst_presetphrases.moc"
