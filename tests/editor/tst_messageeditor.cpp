// The message editor: loading with its size limit, saving, the question
// before changes are dropped, the edit modes, the column indicator and the
// commands that insert text; and the editor opened through its opener.
#include "support/ReadOnlyFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestHost.h"

#include "core/DateText.h"
#include "editor/EditorPart.h"
#include "editor/EditorText.h"
#include "editor/frmEdit.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace editortext;

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 5, 7));

QString dated(QString date)
{
    return date.replace('/', dateSeparator(QLocale::system()));
}

} // namespace

class MessageEditorTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // An editor on its own, as a caller opens it.
    struct Rig {
        AppState state;
        ScriptedDialogs dialogs;
        int refreshes = 0;
        int helpShown = 0;
        std::unique_ptr<frmEdit> editor;

        Rig(const TestEnvironment& env, const QString& file, int mode) : state(env.makeState())
        {
            state.now = [] { return kNow; };
            state.EditFile = file;
            state.EditMode = mode;
            editor = std::make_unique<frmEdit>(
                state, dialogs, [this] { ++refreshes; }, [this](QWidget*) { ++helpShown; });
            editor->Form_Load();
            editor->show();
        }
        frmEdit& e() { return *editor; }
        QString text() const { return editor->txtText->toPlainText(); }
        QToolButton* toolButton(const QString& key) const
        {
            return editor->findChild<QToolButton*>("Toolbar_" + key);
        }
        // Presses a command bar button as the user would.
        void press(const QString& key) const { QTest::mouseClick(toolButton(key), Qt::LeftButton); }
        bool finished = false;
        void watchFinish()
        {
            QObject::connect(editor.get(), &QDialog::finished, [this] { finished = true; });
        }
    };

    QString path(const QString& name) const { return env.file(name); }

private slots:
    void init() { env.reset(); }

    void loadingStopsAtThirtyThousandCharacters()
    {
        // With the CR LF after each line, 29998 characters make exactly
        // 30000: refused. One less is loaded.
        env.writeFile("\\big.txt", QByteArray(29998, 'x'));
        Rig refused(env, path("\\big.txt"), 0);
        QCOMPARE(refused.dialogs.texts(), QStringList{"File " + path("\\big.txt") + " too large (>30K)"});
        QCOMPARE(refused.dialogs.asked[0].icon, Dialogs::Icon::Critical);
        QVERIFY(refused.text().isEmpty());
        QVERIFY(!refused.e().modified());
        QCOMPARE(refused.e().fileName(), path("\\big.txt"));

        env.writeFile("\\big.txt", QByteArray(29997, 'x'));
        Rig loaded(env, path("\\big.txt"), 0);
        QVERIFY(loaded.dialogs.asked.isEmpty());
        QCOMPARE(loaded.text(), QString(29997, 'x') + "\n");

        // The limit counts the whole text read so far, over many lines.
        QByteArray lines;
        for (int i = 0; i < 2999; ++i)
            lines += "12345678\r\n"; // 29990 characters
        env.writeFile("\\lines.txt", lines + "12345678\r\nmore\r\n");
        QVERIFY(!Rig(env, path("\\lines.txt"), 0).dialogs.asked.isEmpty());
        env.writeFile("\\lines.txt", lines + "1234567\r\n");
        QVERIFY(Rig(env, path("\\lines.txt"), 0).dialogs.asked.isEmpty());
    }

    void loadingShowsTheFileAsLines()
    {
        // Any line end becomes a line; the text counts as changed until it
        // is saved.
        env.writeFile("\\klkl.txt", "here is\r\n12345 vornak d\nline three\rend");
        Rig rig(env, path("\\klkl.txt"), 0);
        QCOMPARE(rig.text(), QString("here is\n12345 vornak d\nline three\nend\n"));
        QVERIFY(rig.e().modified());
        QCOMPARE(rig.e().panelModified->text(), QString("modified"));
        QCOMPARE(rig.e().windowTitle(), "Quillnet Editor Quillnet 2022   / " + path("\\klkl.txt"));
        QCOMPARE(rig.e().lblStatus->text(), "You are editing the default Message  " + path("\\klkl.txt"));

        // A missing file: nothing loaded, nothing said, nothing changed.
        Rig missing(env, path("\\nothing.txt"), 2);
        QVERIFY(missing.text().isEmpty() && missing.dialogs.asked.isEmpty() && !missing.e().modified());
        QCOMPARE(missing.e().lblStatus->text(), "You are editing the Preset Phrases " + path("\\nothing.txt"));
        QCOMPARE(Rig(env, path("\\x.txt"), 1).e().lblStatus->text(),
                 "You are editing the configuration file ! " + path("\\x.txt"));
        QCOMPARE(Rig(env, path("\\x.txt"), 3).e().lblStatus->text(), QString(" S T A T U S"));
    }

    void savingWritesTheTextAsItStands()
    {
        env.writeFile("\\Message.txt", QByteArray("first line\r\nsecond line\r\n"));
        Rig rig(env, path("\\Message.txt"), 0);
        rig.press("save");
        // The text goes back byte for byte, nothing added.
        QCOMPARE(env.readFile("\\Message.txt"), QByteArray("first line\r\nsecond line\r\n"));
        QVERIFY(!rig.e().modified());
        QVERIFY(rig.e().panelModified->text().isEmpty());
        QCOMPARE(rig.refreshes, 1);
        QVERIFY(rig.dialogs.fileRequests.isEmpty());

        // Typing marks the text changed; the file keeps its last content
        // until saved.
        rig.e().txtText->moveCursor(QTextCursor::End);
        rig.e().txtText->insertPlainText(QString::fromUtf8("Grüße"));
        QVERIFY(rig.e().modified());
        rig.press("save");
        QCOMPARE(env.readFile("\\Message.txt"), QByteArray("first line\r\nsecond line\r\nGr\xFC\xDF" "e"));
    }

    void saveAsCancelledSavesNothing()
    {
        env.writeFile("\\Message.txt", "text\r\n");
        Rig rig(env, path("\\Message.txt"), 0);
        rig.press("saveas");
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        const Dialogs::FileRequest request = rig.dialogs.fileRequests[0];
        QCOMPARE(request.title, QString("Save File As ..."));
        QCOMPARE(request.filter, QString("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(request.startFolder, env.folder());
        QCOMPARE(request.proposedName, path("\\Message.txt"));
        QVERIFY(rig.e().modified());
        QCOMPARE(rig.e().fileName(), path("\\Message.txt"));
        QCOMPARE(env.readFile("\\Message.txt"), QByteArray("text\r\n"));
        // The lists are refreshed after the command all the same.
        QCOMPARE(rig.refreshes, 1);

        // Save As a new name: the file is written there and becomes the one
        // edited.
        rig.dialogs.files << path("\\copy.txt");
        rig.press("saveas");
        QCOMPARE(env.readFile("\\copy.txt"), QByteArray("text\r\n"));
        QCOMPARE(rig.e().fileName(), path("\\copy.txt"));
        QCOMPARE(rig.e().windowTitle(), "Quillnet Editor Quillnet 2022   / " + path("\\copy.txt"));
        QVERIFY(!rig.e().modified());

        // A new document always asks for a name, proposing none.
        rig.press("new");
        QCOMPARE(rig.e().fileName(), QString("New document"));
        QVERIFY(rig.text().isEmpty() && !rig.e().modified());
        rig.dialogs.fileRequests.clear();
        rig.press("save");
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        QVERIFY(rig.dialogs.fileRequests[0].proposedName.isEmpty());
        QCOMPARE(rig.e().fileName(), QString("New document"));
    }

    void fileThatCannotBeSavedKeepsTheText()
    {
        QDir().mkpath(env.folder() + "/locked");
        env.writeFile("\\locked/Message.txt", "old\r\n");
        Rig rig(env, path("\\locked/Message.txt"), 0);
        rig.watchFinish();
        rig.e().txtText->moveCursor(QTextCursor::End);
        QTest::keyClicks(rig.e().txtText, "new words");
        ReadOnlyFolder locked(env.folder() + "/locked");
        if (!locked.effective())
            QSKIP("this file system lets every write through");

        rig.press("save");
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QVERIFY(rig.dialogs.asked[0].text.startsWith("File '" + path("\\locked/Message.txt") + "' could not be saved: "));
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.e().modified());
        QCOMPARE(rig.text(), QString("old\nnew words"));
        QCOMPARE(env.readFile("\\locked/Message.txt"), QByteArray("old\r\n"));

        // Exit, yes save: the save fails again, so the editor stays open
        // with the text.
        rig.dialogs.clear();
        rig.dialogs.answers << Dialogs::Answer::Yes;
        rig.press("exit");
        QVERIFY(!rig.finished);
        QVERIFY(rig.e().isVisible());
        QVERIFY(rig.e().modified());
        // No: the user lets the changes go.
        rig.dialogs.answers << Dialogs::Answer::No;
        rig.press("exit");
        QVERIFY(rig.finished);
        QCOMPARE(rig.e().lblStatus->text(), QString(" S T A T U S"));
    }

    void changesAreOfferedForSaving()
    {
        env.writeFile("\\Message.txt", "text\r\n");
        Rig rig(env, path("\\Message.txt"), 0);
        rig.watchFinish();
        rig.dialogs.answers << Dialogs::Answer::No;
        rig.press("new");
        const QString name = path("\\Message.txt");
        QCOMPARE(rig.dialogs.texts(), QStringList{"File '" + name + "' was changed\ndo you want to save it ?"});
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Question);
        QCOMPARE(rig.e().lblStatus->text(), "File '" + name + "' was changed! do you want to save it ?");
        QVERIFY(rig.text().isEmpty());
        QCOMPARE(rig.refreshes, 0);

        // An unchanged text is closed without a question.
        rig.dialogs.clear();
        QTest::keyClicks(rig.e().txtText, "fresh");
        rig.dialogs.answers << Dialogs::Answer::Yes;
        rig.dialogs.files << path("\\fresh.txt");
        rig.press("exit");
        QCOMPARE(env.readFile("\\fresh.txt"), QByteArray("fresh"));
        QVERIFY(rig.finished);

        // Closing the window is "exit".
        Rig closing(env, path("\\fresh.txt"), 0);
        closing.watchFinish();
        closing.dialogs.answers << Dialogs::Answer::No;
        closing.e().close();
        QVERIFY(closing.finished);
        QCOMPARE(closing.dialogs.asked.size(), 1);
    }

    void modesDecideTheCommands()
    {
        const QStringList all = kKeys;
        const QMap<int, QStringList> enabled = {
            {0, {"new", "save", "saveas", "exit", "help", "time", "date"}},
            {1, {"save", "exit", "help"}},
            {2, {"save", "exit", "help", "time", "date"}},
            {3, all},
            {5, all},
            {6, all},
        };
        for (auto it = enabled.begin(); it != enabled.end(); ++it) {
            Rig rig(env, path("\\x.txt"), it.key());
            QStringList on;
            for (const QString& key : all) {
                if (rig.e().button(key)->isEnabled())
                    on << key;
            }
            QCOMPARE(on, it.value());
        }

        // In mode 1 the time and date buttons do nothing; help does.
        env.writeFile("\\QuillnetUsb.cfg", "0\r\n");
        Rig config(env, path("\\QuillnetUsb.cfg"), 1);
        for (const QString& key : {"time", "date", "new", "open", "saveas", "print"})
            config.press(key);
        QCOMPARE(config.text(), QString("0\n"));
        QVERIFY(config.dialogs.asked.isEmpty() && config.dialogs.fileRequests.isEmpty());
        config.press("help");
        QCOMPARE(config.dialogs.texts(), QStringList{"Help"});
        QCOMPARE(config.helpShown, 1);

        // The command bar in order, with its tool tips.
        QStringList captions;
        for (QAction* action : config.e().Toolbar->actions()) {
            if (!action->isSeparator())
                captions << action->text() + "|" + action->toolTip();
        }
        QCOMPARE(captions, QStringList({"New|Create New Message", "Open|Open Message File", "Save|Save Message File",
                                        "Save As|Save Message File As", "Print|Print Message File", "Exit|Exit Editor",
                                        "Help|Invokes Help", "Time|Insert Time Today", "Date|Insert Date ToDay"}));
    }

    void freeEditorAsksForItsFile()
    {
        env.writeFile("\\notes.txt", "a note\r\n");
        {
            // The chosen file is loaded as it is, not marked changed.
            AppState state = env.makeState();
            state.EditFile = state.folder.file("\\ ");
            state.EditMode = 4;
            ScriptedDialogs dialogs;
            dialogs.files << path("\\notes.txt");
            frmEdit editor(state, dialogs, {}, {});
            editor.Form_Load();
            QCOMPARE(dialogs.fileRequests.size(), 1);
            QCOMPARE(dialogs.fileRequests[0].title, QString("Edit file"));
            QCOMPARE(dialogs.fileRequests[0].startFolder, env.folder());
            QCOMPARE(editor.txtText->toPlainText(), QString("a note\n"));
            QCOMPARE(editor.fileName(), path("\\notes.txt"));
            QVERIFY(!editor.modified());
            QCOMPARE(editor.windowTitle(), "Quillnet Editor Quillnet 2022   / " + path("\\notes.txt"));
        }
        // Cancelled: an empty text whose first save asks for a name rather
        // than writing a file named with a blank.
        Rig rig(env, env.folder() + "/ ", 4);
        QVERIFY(rig.text().isEmpty());
        QTest::keyClicks(rig.e().txtText, "draft");
        rig.dialogs.files << path("\\draft.txt");
        rig.press("save");
        QCOMPARE(rig.dialogs.fileRequests.size(), 2);
        QVERIFY(rig.dialogs.fileRequests[1].proposedName.isEmpty());
        QCOMPARE(env.readFile("\\draft.txt"), QByteArray("draft"));
        QVERIFY(!QFile::exists(env.folder() + "/ "));

        // "Open" in a mode that offers it: the chosen file replaces the text.
        env.writeFile("\\big.txt", QByteArray(40000, 'x'));
        rig.dialogs.files << path("\\big.txt");
        rig.press("open");
        // Too large: refused, and the editor stays on its own file.
        QCOMPARE(rig.dialogs.texts().last(), "File " + path("\\big.txt") + " too large (>30K)");
        QCOMPARE(rig.e().fileName(), path("\\draft.txt"));
        QCOMPARE(rig.text(), QString("draft"));
        rig.dialogs.files << path("\\notes.txt");
        rig.press("open");
        QCOMPARE(rig.text(), QString("a note\n"));
        QCOMPARE(rig.e().fileName(), path("\\notes.txt"));
    }

    void columnIndicatorMarksTheTelexLine()
    {
        Rig rig(env, path("\\new.txt"), 0);
        QPlainTextEdit* text = rig.e().txtText;
        const auto colour = [&] { return rig.e().lblMax->property("backColor").value<QColor>(); };

        QTest::keyClicks(text, QString(67, 'a'));
        QTest::keyClick(text, Qt::Key_B);
        QCOMPARE(rig.e().panelCol->text(), QString("68"));
        QCOMPARE(rig.e().panelRow->text(), QString("1"));
        QCOMPARE(colour(), QColor(0, 255, 0));
        QCOMPARE(rig.dialogs.beeps, 0);

        QTest::keyClick(text, Qt::Key_C);
        QCOMPARE(rig.e().panelCol->text(), QString("69"));
        QCOMPARE(colour(), QColor(255, 0, 0));
        QVERIFY(rig.dialogs.beeps >= 1);

        // Back within the line, on a new row.
        const int beeps = rig.dialogs.beeps;
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(rig.e().panelRow->text(), QString("2"));
        QCOMPARE(rig.e().panelCol->text(), QString("0"));
        QCOMPARE(colour(), QColor(0, 255, 0));
        QCOMPARE(rig.dialogs.beeps, beeps);

        // A mouse click reports the place it put the caret at: the end of
        // the first line.
        QTextCursor endOfFirst(text->document());
        endOfFirst.movePosition(QTextCursor::EndOfBlock);
        const QRect place = text->cursorRect(endOfFirst);
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, place.center() + QPoint(4, 0));
        QCOMPARE(rig.e().panelRow->text(), QString("1"));
        QCOMPARE(rig.e().panelCol->text(), QString("69"));
        QCOMPARE(colour(), QColor(255, 0, 0));

        QCOMPARE(rig.e().lblRuler->text(),
                 QString("12345678901234567890123456789012345678901234567890123456789012345678"));
    }

    void timeAndDateGoToTheEnd()
    {
        env.writeFile("\\Message.txt", "first\r\nsecond\r\n");
        Rig rig(env, path("\\Message.txt"), 0);
        rig.e().txtText->moveCursor(QTextCursor::Start);
        rig.press("time");
        QCOMPARE(rig.text(), QString("first\nsecond\n15:05:07"));
        QCOMPARE(rig.dialogs.texts(), QStringList{"Time"});
        QCOMPARE(rig.dialogs.beeps, 0);
        // The caret stays where the user left it.
        QCOMPARE(rig.e().txtText->textCursor().position(), 0);

        rig.press("date");
        QCOMPARE(rig.text(), "first\nsecond\n15:05:07" + dated("14/03/2026"));
        QCOMPARE(rig.dialogs.events, QStringList({"Time", "Date", "beep"}));

        // The command keys are taken in any case.
        rig.e().Toolbar_ButtonClick("SAVE");
        QCOMPARE(env.readFile("\\Message.txt"), ("first\r\nsecond\r\n15:05:07" + dated("14/03/2026")).toLatin1());

        // Print only explains itself, where a mode offers it.
        Rig other(env, path("\\Message.txt"), 3);
        other.press("print");
        other.e().Toolbar_ButtonClick("bogus");
        QCOMPARE(other.dialogs.texts(),
                 QStringList({" This editore does not print to a local printer but send this message to a "
                              "pre-defined dedicated teleprinter but as this is a beta version it is disabled ",
                              "no selection found"}));
        QCOMPARE(other.dialogs.asked[0].icon, Dialogs::Icon::Information);
    }

    void openerRunsTheEditorModally()
    {
        TestHost host(env);
        int refreshes = 0;
        EditorPart part(host, [&] { ++refreshes; });
        QCOMPARE(host.commandNames("Help"), QStringList{"lblAiuto"});
        QCOMPARE(host.command("lblAiuto")->text(), QString("Version Description"));

        env.writeFile("\\klkl.txt", "answer\r\n");
        QStringList seen;
        QTimer::singleShot(0, &host, [&] {
            auto* editor = host.findChild<frmEdit*>();
            QVERIFY(editor);
            seen << QString::number(editor->isVisible()) << QString::number(editor->isModal())
                 << editor->txtText->toPlainText();
            QTest::keyClicks(editor->txtText, "more ");
            host.scripted.answers << Dialogs::Answer::Yes;
            editor->Toolbar_ButtonClick("exit");
        });
        part.opener()(path("\\klkl.txt"), 0);
        QCOMPARE(seen, QStringList({"1", "1", "answer\n"}));
        QCOMPARE(host.appState.EditFile, path("\\klkl.txt"));
        QCOMPARE(host.appState.EditMode, 0);
        QCOMPARE(env.readFile("\\klkl.txt"), QByteArray("more answer\r\n"));
        QCOMPARE(refreshes, 1);
        // The window is gone once the opener returns.
        QVERIFY(!host.findChild<frmEdit*>());
    }
};

QTEST_MAIN(MessageEditorTest)
#include "tst_messageeditor.moc"
