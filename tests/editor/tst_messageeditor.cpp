// The message editor: loading with its size limit, saving, the question
// before changes are dropped, the edit modes, the column indicator and the
// commands that insert text.
#include "support/ReadOnlyFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "core/DataFile.h"
#include "core/DateText.h"
#include "editor/EditorText.h"
#include "editor/frmEdit.h"

#include <QDir>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 5, 7));
const QString kCaption = QStringLiteral("Quillnet Editor Quillnet 2022   / ");

} // namespace

class MessageEditorTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // An editor on its own, opened as a caller opens it; `files` answer the
    // file dialogs.
    struct Rig {
        AppState state;
        ScriptedDialogs dialogs;
        int refreshes = 0;
        int helpShown = 0;
        bool finished = false;
        std::unique_ptr<frmEdit> editor;

        Rig(const TestEnvironment& env, const QString& file, int mode, const QStringList& files = {})
            : state(env.makeState())
        {
            state.now = [] { return kNow; };
            state.EditFile = file;
            state.EditMode = mode;
            dialogs.files = files;
            editor = std::make_unique<frmEdit>(
                state, dialogs, [this] { ++refreshes; }, [this](QWidget*) { ++helpShown; });
            QObject::connect(editor.get(), &QDialog::finished, [this] { finished = true; });
            editor->Form_Load();
            editor->show();
        }
        frmEdit& e() { return *editor; }
        QString text() const { return editor->txtText->toPlainText(); }
        void type(const QString& keys) const
        {
            editor->txtText->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor->txtText, keys);
        }
        // Presses a command bar button as the user would.
        void press(const QString& key) const
        {
            QTest::mouseClick(editor->findChild<QToolButton*>("Toolbar_" + key), Qt::LeftButton);
        }
    };

    QString path(const QString& name) const { return env.file(name); }

private slots:
    void init() { env.reset(); }

    void loadingStopsAtThirtyThousandCharacters()
    {
        // With the CR LF after each line, 29998 characters make exactly
        // 30000: refused.
        env.writeFile("\\big.txt", QByteArray(29998, 'x'));
        Rig refused(env, path("\\big.txt"), 0);
        QCOMPARE(refused.dialogs.texts(), QStringList{"File " + path("\\big.txt") + " too large (>30K)"});
        QCOMPARE(refused.dialogs.asked[0].icon, Dialogs::Icon::Critical);
        QVERIFY(refused.text().isEmpty() && !refused.e().modified());
        QCOMPARE(refused.e().fileName(), path("\\big.txt"));

        // The limit counts the text read so far, over many lines: 30000
        // refused, one less loaded.
        const QByteArray lines = QByteArray("12345678\r\n").repeated(2999);
        env.writeFile("\\lines.txt", lines + "12345678\r\nmore\r\n");
        QVERIFY(!Rig(env, path("\\lines.txt"), 0).dialogs.asked.isEmpty());
        env.writeFile("\\lines.txt", lines + "1234567\r\n");
        QVERIFY(Rig(env, path("\\lines.txt"), 0).dialogs.asked.isEmpty());

        // Any line end becomes a line; loaded text counts as changed.
        env.writeFile("\\klkl.txt", "here is\r\n12345 vornak d\nline three\rend");
        Rig lined(env, path("\\klkl.txt"), 0);
        QCOMPARE(lined.text(), QString("here is\n12345 vornak d\nline three\nend\n"));
        QCOMPARE(lined.e().panelModified->text(), QString("modified"));
        QCOMPARE(lined.e().windowTitle(), kCaption + path("\\klkl.txt"));

        // A missing file: nothing loaded, nothing said.
        Rig missing(env, path("\\nothing.txt"), 2);
        QVERIFY(missing.text().isEmpty() && missing.dialogs.asked.isEmpty() && !missing.e().modified());
    }

    void savingAndSaveAs()
    {
        env.writeFile("\\Message.txt", "first line\r\nsecond line\r\n");
        Rig rig(env, path("\\Message.txt"), 0);
        rig.press("save");
        // The text goes back byte for byte, nothing added.
        QCOMPARE(env.readFile("\\Message.txt"), QByteArray("first line\r\nsecond line\r\n"));
        QVERIFY(!rig.e().modified() && rig.e().panelModified->text().isEmpty());
        QCOMPARE(rig.refreshes, 1);
        rig.e().txtText->moveCursor(QTextCursor::End);
        rig.e().txtText->insertPlainText(QString::fromUtf8("Grüße"));
        QVERIFY(rig.e().modified());

        // Save As cancelled: nothing saved, still changed; the lists are
        // refreshed after the command all the same.
        rig.press("saveas");
        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        const Dialogs::FileRequest request = rig.dialogs.fileRequests[0];
        QCOMPARE(QStringList({request.title, request.startFolder, request.proposedName}),
                 QStringList({"Save File As ...", env.folder(), path("\\Message.txt")}));
        QVERIFY(rig.e().modified());
        QCOMPARE(env.readFile("\\Message.txt"), QByteArray("first line\r\nsecond line\r\n"));
        QCOMPARE(rig.refreshes, 2);

        // Save As a new name: written there, and it becomes the file edited.
        rig.dialogs.files << path("\\copy.txt");
        rig.press("saveas");
        QCOMPARE(env.readFile("\\copy.txt"), QByteArray("first line\r\nsecond line\r\nGr\xFC\xDF" "e"));
        QCOMPARE(rig.e().windowTitle(), kCaption + path("\\copy.txt"));
        QVERIFY(!rig.e().modified());

        // A new document asks for a name, proposing none.
        rig.press("new");
        QCOMPARE(rig.e().fileName(), QString("New document"));
        QVERIFY(rig.text().isEmpty() && !rig.e().modified());
        rig.press("save");
        QCOMPARE(rig.dialogs.fileRequests.size(), 3);
        QVERIFY(rig.dialogs.fileRequests[2].proposedName.isEmpty());
    }

    void savingKeepsTheFilesForm()
    {
        // Saved without an edit, a file keeps its bytes: its encoding, its
        // line ends and every character, a non-breaking space included.
        const QList<QByteArray> files = {
            "Latin-1 with a non-breaking space:\xA0und \xFC\r\nsecond\r\n",
            "UTF-8 Gr\xC3\xBC\xC3\x9F" "e, no-break\xC2\xA0space\nwith LF only\n",
            "\xEF\xBB\xBFUTF-8 with a byte order mark, \xE2\x82\xAC and CR LF\r\n\r\n",
            "ASCII\twith a tab\n",
        };
        for (const QByteArray& bytes : files) {
            env.writeFile("\\Message.txt", bytes);
            Rig rig(env, path("\\Message.txt"), 0);
            rig.press("save");
            QCOMPARE(env.readFile("\\Message.txt"), bytes);
        }

        // A Latin-1 file (0xFF is no UTF-8) that, once its 0xFF is deleted,
        // holds bytes that are valid UTF-8: saved so that it reads back as
        // the text the editor held, not "+\u0547".
        env.writeFile("\\Message.txt", "+\xD5\x87\xFF\r\n");
        Rig latin1(env, path("\\Message.txt"), 0);
        QTextCursor cursor(latin1.e().txtText->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.deletePreviousChar();
        latin1.press("save");
        QCOMPARE(Rig(env, path("\\Message.txt"), 0).text(), QString::fromLatin1("+\xD5\x87\n"));
    }

    void changesAreKeptWhenTheyCannotBeSaved()
    {
        QDir().mkpath(env.folder() + "/locked");
        env.writeFile("\\locked/Message.txt", "old\r\n");
        Rig rig(env, path("\\locked/Message.txt"), 0);
        rig.type("new words");
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

        // Exit, and yes, save: the question, then the save fails again, so
        // the editor stays open with the text.
        rig.dialogs.clear();
        rig.dialogs.answers << Dialogs::Answer::Yes;
        rig.press("exit");
        const QString name = path("\\locked/Message.txt");
        QCOMPARE(rig.dialogs.asked[0].text, "File '" + name + "' was changed\ndo you want to save it ?");
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.e().lblStatus->text(), "File '" + name + "' was changed! do you want to save it ?");
        QVERIFY(!rig.finished && rig.e().isVisible() && rig.e().modified());

        // No: the changes go; closing the window is "exit".
        rig.dialogs.answers << Dialogs::Answer::No;
        rig.e().close();
        QVERIFY(rig.finished);
        QCOMPARE(rig.e().lblStatus->text(), QString(" S T A T U S"));
        QCOMPARE(env.readFile("\\locked/Message.txt"), QByteArray("old\r\n"));
    }

    void modesDecideTheCommands()
    {
        const QStringList all = editortext::kKeys;
        const QMap<int, QStringList> enabled = {
            {0, {"new", "save", "saveas", "exit", "help", "time", "date"}},
            {1, {"save", "exit", "help"}},
            {2, {"save", "exit", "help", "time", "date"}},
            {3, all},
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

        // The configuration file's mode says so; its help responds.
        Rig config(env, path("\\QuillnetUsb.cfg"), 1);
        QCOMPARE(config.e().lblStatus->text(), "You are editing the configuration file ! " + path("\\QuillnetUsb.cfg"));
        config.press("help");
        QCOMPARE(config.dialogs.texts(), QStringList{"Help"});
        QCOMPARE(config.helpShown, 1);
    }

    void freeEditorAsksForItsFile()
    {
        env.writeFile("\\notes.txt", "a note\r\n");
        // The chosen file is loaded as it is, not marked changed.
        Rig chosen(env, env.folder() + "/ ", 4, {path("\\notes.txt")});
        QCOMPARE(chosen.dialogs.fileRequests[0].title + "|" + chosen.dialogs.fileRequests[0].startFolder,
                 "Edit file|" + env.folder());
        QCOMPARE(chosen.text(), QString("a note\n"));
        QCOMPARE(chosen.e().windowTitle(), kCaption + path("\\notes.txt"));
        QVERIFY(!chosen.e().modified());

        // Cancelled: the first save asks for a name rather than writing a
        // file named with a blank.
        Rig rig(env, env.folder() + "/ ", 4);
        rig.type("draft");
        rig.dialogs.files << path("\\draft.txt");
        rig.press("save");
        QCOMPARE(rig.dialogs.fileRequests.size(), 2);
        QCOMPARE(env.readFile("\\draft.txt"), QByteArray("draft"));
        QVERIFY(!QFile::exists(env.folder() + "/ "));

        // "Open" a file that is too large: refused, the editor stays on its
        // own file and text.
        env.writeFile("\\big.txt", QByteArray(40000, 'x'));
        rig.dialogs.files << path("\\big.txt");
        rig.press("open");
        QCOMPARE(rig.dialogs.texts().last(), "File " + path("\\big.txt") + " too large (>30K)");
        QCOMPARE(rig.e().fileName(), path("\\draft.txt"));
        QCOMPARE(rig.text(), QString("draft"));

        // "Open" a folder: said so, rather than an empty text taken for it.
        rig.dialogs.files << env.folder();
        rig.press("open");
        QCOMPARE(rig.dialogs.texts().last(), "File " + env.folder() + " cannot be read: " + kFolderNotFile);
        QCOMPARE(rig.e().fileName() + "|" + rig.text(), path("\\draft.txt") + "|draft");
    }

    void columnIndicatorMarksTheTelexLine()
    {
        // Row and column of the caret, the indicator's colour, and whether it
        // beeped since the last reading: past column 68, keys and clicks beep.
        Rig rig(env, path("\\new.txt"), 0);
        int beeps = 0;
        QStringList readings;
        const auto read = [&] {
            const bool beeped = std::exchange(beeps, rig.dialogs.beeps) != rig.dialogs.beeps;
            readings << rig.e().panelRow->text() + "/" + rig.e().panelCol->text() + " "
                            + rig.e().lblMax->property("backColor").value<QColor>().name() + (beeped ? " beep" : "");
        };
        rig.type(QString(68, 'a'));
        read();
        rig.type("b");
        read();
        QTest::keyClick(rig.e().txtText, Qt::Key_Return);
        read();
        // A mouse click reports where it put the caret: the end of line 1.
        QPlainTextEdit* text = rig.e().txtText;
        QTextCursor endOfFirst(text->document());
        endOfFirst.movePosition(QTextCursor::EndOfBlock);
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(endOfFirst).center() + QPoint(4, 0));
        read();
        QCOMPARE(readings, QStringList({"1/68 #00ff00", "1/69 #ff0000 beep", "2/0 #00ff00", "1/69 #ff0000 beep"}));
    }

    void insertedTextGoesToTheEnd()
    {
        env.writeFile("\\Message.txt", "first\r\nsecond\r\n");
        Rig rig(env, path("\\Message.txt"), 0);
        rig.e().txtText->moveCursor(QTextCursor::Start);
        rig.press("time");
        rig.press("date");
        const QString date = QString("14/03/2026").replace('/', dateSeparator(QLocale::system()));
        QCOMPARE(rig.text(), "first\nsecond\n15:05:07" + date);
        QCOMPARE(rig.dialogs.events, QStringList({"Time", "Date", "beep"}));
        // The caret stays where the user left it.
        QCOMPARE(rig.e().txtText->textCursor().position(), 0);

        // Keys are taken in any case; print only explains itself.
        rig.e().Toolbar_ButtonClick("SAVE");
        QCOMPARE(env.readFile("\\Message.txt"), ("first\r\nsecond\r\n15:05:07" + date).toLatin1());
        Rig other(env, path("\\Message.txt"), 3);
        other.press("print");
        other.e().Toolbar_ButtonClick("bogus");
        QCOMPARE(other.dialogs.texts(),
                 QStringList({" This editore does not print to a local printer but send this message to a "
                              "pre-defined dedicated teleprinter but as this is a beta version it is disabled ",
                              "no selection found"}));
        QCOMPARE(other.dialogs.asked[0].icon, Dialogs::Icon::Information);
    }
};

QTEST_MAIN(MessageEditorTest)
#include "tst_messageeditor.moc"
