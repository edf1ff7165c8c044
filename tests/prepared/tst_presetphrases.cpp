// The preset phrases: their captions, the text each hands to the text
// sender and the guards before it, and the commands that open the editor on
// the prepared texts.
#include "support/TestHost.h"

#include "editor/EditorPart.h"
#include "editor/frmEdit.h"
#include "prepared/EditorLaunchers.h"
#include "prepared/PresetPhrases.h"

#include <QLabel>
#include <QtTest>

class PresetPhrasesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // The phrases on a stand-in main window, with a text sender that
    // records what it is given.
    struct Rig {
        TestHost host;
        QStringList sent;
        PresetPhrases phrases{host, [this](const QString& text) { sent << text; }};
        // Made and loaded, as start-up does.
        Rig(const TestEnvironment& env, bool openPort) : host(env, openPort) { phrases.load(); }
        void click(int k) { QTest::mouseClick(phrases.lblPresetText[k], Qt::LeftButton); }
        QStringList captions() const
        {
            QStringList captions;
            for (CommandLabel* label : phrases.lblPresetText)
                captions << label->text();
            return captions;
        }
    };

private slots:
    void init() { env.reset(); }

    void firstTenLinesBecomeCaptions()
    {
        // On the desk, loaded at start-up: the first ten lines, an empty one
        // a phrase of its own. (Shorter files leave the rest empty in the
        // tests below.)
        QString twelve = "one\r\n\r\nthree\r\n";
        for (int i = 4; i <= 12; ++i)
            twelve += QStringLiteral("phrase %1\r\n").arg(i);
        env.writeFile("\\QuillnetPresetText.txt", twelve.toLatin1());
        Rig rig(env, false);
        QCOMPARE(rig.phrases.framePresetText->parentWidget(), &rig.host.desk());
        QCOMPARE(rig.captions(), QStringList({"one", "", "three", "phrase 4", "phrase 5", "phrase 6", "phrase 7",
                                              "phrase 8", "phrase 9", "phrase 10"}));
        for (CommandLabel* label : rig.phrases.lblPresetText)
            QCOMPARE(label->toolTip(), QString("Test Phrases for allignment purpose"));

        // Loading again empties first; a missing file leaves all empty,
        // without a message.
        QFile::remove(env.file("\\QuillnetPresetText.txt"));
        rig.phrases.load();
        QCOMPARE(rig.captions(), QStringList(10, QString()));
        QVERIFY(rig.host.scripted.asked.isEmpty());

        // A file that cannot be read is reported.
        QDir().mkpath(env.file("\\QuillnetPresetText.txt"));
        rig.phrases.load();
        QCOMPARE(rig.host.scripted.asked.size(), 1);
        QVERIFY(rig.host.scripted.asked[0].text.startsWith("The preset phrases cannot be read"));
    }

    void phrasesGoToTheTextSenderBehindTheGuards()
    {
        env.writeFile("\\QuillnetPresetText.txt", QString::fromUtf8("mail @ box\r\nsch\u00f6n\r\n").toUtf8());
        Rig rig(env, false);
        QCOMPARE(rig.phrases.lblPresetText[1]->text(), QString::fromUtf8("schön"));

        // No call: a beep and the connection message, whatever the port. A
        // call but the port closed: the port message, no beep.
        rig.click(0);
        QCOMPARE(rig.host.scripted.events, QStringList({"beep", " No existing connection active ......"}));
        rig.host.scripted.clear();
        rig.host.appState.ConnectionActive = true;
        rig.click(0);
        QCOMPARE(rig.host.scripted.events, QStringList{"Open Communication Port First ..... "});
        QVERIFY(rig.host.link().open());
        rig.host.appState.ConnectionActive = false;
        rig.click(0);

        // With both, the phrase travels between two carriage returns, which
        // SendTxt drops; an empty label sends the carriage return alone.
        rig.host.appState.ConnectionActive = true;
        rig.host.terminal().setLineText("received\r\n");
        rig.host.terminal().moveCursor(QTextCursor::Start);
        for (int k : {0, 1, 5})
            rig.click(k);
        QCOMPARE(rig.sent, QStringList({"\rmail @ box\r", QString::fromUtf8("\rschön\r"), "\r\r"}));
        // Typing goes on at the end of the terminal text.
        QVERIFY(rig.host.terminal().textCursor().atEnd());
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
    }
};

QTEST_MAIN(PresetPhrasesTest)
#include "tst_presetphrases.moc"
