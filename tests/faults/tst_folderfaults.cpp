// Every file the program writes, written into a program folder that refuses
// it: read-only, or on a file system with no room left (or one page left
// for a larger file). Each write ends with a message that names the file and
// the system's cause, the command or window stays usable, every file of the
// folder keeps its bytes and no half-written file is left; once the folder
// takes writes again the same step succeeds. And every data file the
// program reads, replaced by a pipe, a folder or a file that cannot be read:
// a message that says which, never a hang.
#include "faults/FolderFaults.h"
#include "lists/ListFixtures.h"
#include "support/TestMain.h"
#include "text/TransmissionRig.h"

#include "core/DataFile.h"
#include "core/ProgramFolder.h"
#include "directory/frmUpdate.h"
#include "editor/HelpDownload.h"
#include "editor/frmEdit.h"
#include "editor/frmHelp.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"
#include "prepared/HeadlineEditor.h"
#include "prepared/LocalNumbersPart.h"

#include <QClipboard>
#include <QLineEdit>
#include <QTcpSocket>
#include <QTreeView>
#include <QToolButton>
#include <cstring>
#include <sys/stat.h>

namespace {

// A web server that hands out one help document to every request.
class HelpServer : public QTcpServer {
public:
    explicit HelpServer(const QByteArray& document)
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this, document] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket, document] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                                  + QByteArray::number(document.size()) + "\r\n\r\n" + document);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString folder() const { return QStringLiteral("http://127.0.0.1:%1/help").arg(serverPort()); }
};

// One write: `run` does it as the user would and returns whether the step
// reports success; `usable` tells whether its commands or window still work
// (none: the send commands are back and no transmission runs).
struct Write {
    QString fileName; // the file the message must name
    std::function<bool()> run;
    std::function<bool()> usable = {};
};

// Subscribers enough to make phonebook.txt larger than a page.
QVector<PhonebookRecord> manySubscribers()
{
    QVector<PhonebookRecord> records = {subscriber("1234", "Alpha", 0, 1), subscriber("56789", "Beta")};
    for (int i = 0; i < 40; ++i)
        records << subscriber(QString::number(200000 + i), QStringLiteral("Station %1").arg(i));
    return records;
}

} // namespace

class FolderFaultsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    static QList<ScriptedDialogs::Asked> warnings(const TerminalRig& rig)
    {
        QList<ScriptedDialogs::Asked> found;
        for (const ScriptedDialogs::Asked& asked : rig.dialogs.asked) {
            if (asked.icon == Dialogs::Icon::Exclamation || asked.icon == Dialogs::Icon::Critical)
                found << asked;
        }
        return found;
    }
    static bool noWarnings(const TerminalRig& rig) { return warnings(rig).isEmpty(); }

    static bool transmissionsIdle(TerminalRig& rig)
    {
        return rig.sendCommandsEnabled() && rig.state.StopSend && !rig.cancelWindow().isVisible()
               && !rig.part<TextTransmissions>().control().busy();
    }

    // The write named `name`, set up on the window (or a window of its own).
    Write makeWrite(const QString& name, TerminalRig& rig, std::unique_ptr<QWidget>& window,
                    std::unique_ptr<DirServerProcess>& server)
    {
        if (name == "paste") {
            rig.state.ConnectionActive = true;
            return {"clipboard.txt",
                    [&rig] {
                        rig.state.PreviewMode = false;
                        QGuiApplication::clipboard()->setText("a pasted line");
                        rig.click("lblPaste");
                        return !rig.received(1, 1000).isEmpty();
                    },
                    // A paste, however it ended, leaves the next one to the preview.
                    [&rig] { return transmissionsIdle(rig) && rig.state.PreviewMode; }};
        }
        if (name == "text file") {
            rig.state.ConnectionActive = true;
            const QString chosen = userFile(env, "note.txt", "a note\r\n");
            return {"SendFile.txt",
                    [&rig, chosen] {
                        rig.dialogs.files = {chosen};
                        rig.click("lblSendText1");
                        return !rig.received(1, 1000).isEmpty();
                    }};
        }
        if (name == "klkl answer") {
            env.writeFile("\\klkl.txt", "answer\r\n");
            return {"klkl-Temp.txt",
                    [&rig] {
                        rig.SendKLKL();
                        // Four carriage returns close every answer, even one
                        // whose scratch file could not be written; a written
                        // one has its text before them.
                        return rig.received(4, 1000) != "\r\r\r\r";
                    }};
        }
        if (name == "headlines") {
            // Saved headlines the edit would replace: they must outlive a
            // refused save.
            env.writeFile("\\Headlines.txt", "saved first line\r\n");
            return {"Headlines.txt",
                    [&rig] {
                        HeadlineEditor& editor = rig.part<HeadlineEditor>();
                        editor.lblHeadlineEditor_Click();
                        editor.txtHeadlines[0]->setText("edited first line");
                        return editor.lblExitHeadlineEditor_Click();
                    },
                    [&rig] { return rig.command("lblHeadlineEditor")->isEnabled(); }};
        }
        if (name == "local numbers") {
            return {"LocalTelex.txt",
                    [&rig] {
                        LocalNumbersPart& part = rig.part<LocalNumbersPart>();
                        rig.click("lblEditLocal");
                        part.txtLocalName[0]->setText("changed");
                        return part.lblExitLocalNumbers_Click();
                    },
                    [&rig] { return rig.command("lblEditLocal")->isEnabled(); }};
        }
        if (name == "message editor") {
            env.writeFile("\\Message.txt", QByteArray("a line of the standard message\r\n").repeated(200));
            rig.state.EditFile = env.file("\\Message.txt");
            rig.state.EditMode = 0;
            auto* editor = new frmEdit(rig.state, rig.dialogs, [] {}, [](QWidget*) {});
            window.reset(editor);
            editor->Form_Load();
            editor->show();
            return {"Message.txt",
                    [editor] {
                        editor->txtText->moveCursor(QTextCursor::End);
                        QTest::keyClicks(editor->txtText, "more");
                        QTest::mouseClick(editor->findChild<QToolButton*>("Toolbar_save"), Qt::LeftButton);
                        return !editor->modified();
                    },
                    [editor] { return editor->isVisible() && editor->modified(); }};
        }
        if (name == "receiver marks") {
            writePhonebook(env, manySubscribers());
            env.writeFile("\\RSend.txt", "1234,\r\n1234+\r\n");
            auto* marks = new frmCirculair(rig.state, rig.dialogs);
            window.reset(marks);
            marks->show();
            // Saved together with phonebook.txt, which is staged first.
            return {"phonebook.txt",
                    [marks, &rig] {
                        QAbstractItemModel* model = marks->lvwStat->model();
                        model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
                        marks->lblSave_Click();
                        return noWarnings(rig);
                    },
                    [marks] { return marks->isVisible() && marks->lblSave->isEnabled(); }};
        }
        if (name == "broadcast header") {
            writePhonebook(env, {subscriber("1234", "Alpha", 0, 1)});
            auto* header = new frmHeader(rig.state, rig.dialogs, {});
            window.reset(header);
            header->show();
            return {"RSHeader.txt", [header] { return header->cmdHeader_Click(); },
                    [header] { return header->isVisible() && header->cmdHeader->isEnabled(); }};
        }
        if (name == "phonebook update") {
            writePhonebook(env, {subscriber("100000", "Old", 1)});
            server = std::make_unique<DirServerProcess>(QStringList{"--generate", "30"});
            rig.state.DirectoryServer = "127.0.0.1";
            auto* update = new frmUpdate(rig.state, rig.dialogs, DirectoryOptions{server->port(), {3000, 3000}, 0});
            window.reset(update);
            update->show();
            return {"phonebook",
                    [update, &rig] {
                        update->lblRetrieve_Click();
                        return noWarnings(rig);
                    },
                    [update] { return update->isVisible() && update->lblRetrieve->isEnabled()
                                      && update->cmdTesting->isEnabled(); }};
        }
        qFatal("no such write");
    }

private slots:
    void init() { env.reset(); }

    void everyWriteRefusedKeepsTheFolder_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("fault");
        for (const char* write : {"paste", "text file", "klkl answer", "headlines", "local numbers", "message editor",
                                  "receiver marks", "broadcast header", "phonebook update"}) {
            for (const char* fault : {"read-only", "full"})
                QTest::addRow("%s, %s", write, fault) << QString(write) << QString(fault);
        }
        // A page of room: the system takes part of a larger file, then says
        // why it takes no more.
        for (const char* write : {"message editor", "receiver marks"})
            QTest::addRow("%s, nearly full", write) << QString(write) << QString("nearly full");
    }

    void everyWriteRefusedKeepsTheFolder()
    {
        QFETCH(QString, write);
        QFETCH(QString, fault);
        TerminalRig rig(env);
        std::unique_ptr<QWidget> window;
        std::unique_ptr<DirServerProcess> server;
        const Write step = makeWrite(write, rig, window, server);
        rig.dialogs.clear();
        const FolderBytes before = folderBytes(env.folder());
        {
            FolderFault refusing(fault, env.folder());
            if (!refusing.skipReason().isEmpty())
                QSKIP(qPrintable(refusing.skipReason()));
            QVERIFY2(!step.run(), "the step reported success though nothing could be written");

            // One clear message that names the file and the cause the system
            // gave, with a warning icon.
            const QList<ScriptedDialogs::Asked> said = warnings(rig);
            QVERIFY2(said.size() == 1, qPrintable(rig.dialogs.texts().join(" | ")));
            const QString cause = QString::fromLocal8Bit(std::strerror(refusing.cause()));
            QVERIFY2(said[0].text.contains(step.fileName) && said[0].text.contains(cause), qPrintable(said[0].text));
            QVERIFY2(step.usable ? step.usable() : transmissionsIdle(rig), "the commands are not usable after the failure");
            // Nothing changed, nothing half-written left behind.
            QCOMPARE(changedFile(before, folderBytes(env.folder())), QString());
        }
        // The folder takes writes again: the same step goes through.
        rig.dialogs.clear();
        QVERIFY2(step.run() && noWarnings(rig), qPrintable(rig.dialogs.texts().join(" | ")));
    }

    void everyReadRefusedSaysWhy_data()
    {
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("fault");
        for (const auto& [read, file] : {std::pair{"configuration", "QuillnetUsb.cfg"},
                                         {"phrases", "QuillnetPresetText.txt"},
                                         {"local numbers", "LocalTelex.txt"}, {"headlines", "Headlines.txt"},
                                         {"klkl answer", "klkl.txt"}, {"receiver list", "RSend.txt"},
                                         {"broadcast header", "RSHeader.txt"}, {"phonebook", "phonebook.txt"},
                                         {"message editor", "Message.txt"}, {"help document", "wnew.rtf"}}) {
            for (const char* fault : {"pipe", "folder", "unreadable"})
                QTest::addRow("%s, %s", read, fault) << QString(read) << QString(file) << QString(fault);
        }
        // A skin that cannot be read leaves the desk its plain colour, as a
        // missing one does: nothing to say, but nothing to wait for either.
        QTest::newRow("skin, pipe") << QString("skin") << QString("Skin-Std.jpg") << QString("pipe");
    }

    // Each data file the program reads is, in turn, a named pipe with no
    // writer (opened to read, it would wait for one for good), a folder, or
    // a file whose reading fails even for root (a link to the reading
    // process's own memory). Its reader names the file and what stands
    // there, and the program goes on.
    void everyReadRefusedSaysWhy()
    {
        QFETCH(QString, read);
        QFETCH(QString, file);
        QFETCH(QString, fault);
        const QString path = env.file("\\" + file);
        QFile::remove(path);
        if (fault == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        else if (fault == "folder")
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(QFile::link("/proc/self/mem", path));
        const QString cause = fault == "pipe" ? kDeviceNotFile
                              : fault == "folder" ? kFolderNotFile
                                                  : QString::fromLocal8Bit(std::strerror(EIO));

        // The start-up reads the configuration, the phrases and the skin.
        TerminalRig rig(env);
        std::unique_ptr<QWidget> window;
        QStringList messages; // the help window says it in its own text
        rig.state.ConnectionActive = true;
        if (read == "local numbers")
            rig.click("lblLocalNumbersShow");
        else if (read == "headlines")
            rig.part<HeadlineEditor>().lblHeadlineEditor_Click();
        else if (read == "klkl answer")
            rig.SendKLKL();
        else if (read == "receiver list" || read == "broadcast header")
            rig.click(read == "receiver list" ? "lblSendNumbers" : "lblSendHeader");
        else if (read == "phonebook")
            window = std::make_unique<frmPresets>(rig.state, rig.dialogs, Dialler(), nullptr, ListsRefresher());
        else if (read == "message editor") {
            rig.state.EditFile = path;
            rig.state.EditMode = 0;
            auto* editor = new frmEdit(rig.state, rig.dialogs, [] {}, [](QWidget*) {});
            window.reset(editor);
            editor->Form_Load();
        } else if (read == "help document") {
            auto* help = new frmHelp(rig.state.folder, rig.settings);
            window.reset(help);
            help->Form_Load();
            messages << help->RichTextBox1->toPlainText();
        }
        for (const ScriptedDialogs::Asked& asked : warnings(rig))
            messages << asked.text;
        QVERIFY2(!messages.isEmpty() || read == "skin", "nothing was said");
        for (const QString& message : messages)
            QVERIFY2(message.contains(file) && message.contains(cause), qPrintable(message));

        // The window goes on: a text still goes out.
        rig.box.readFor(300);
        rig.SendTxt("ok");
        QCOMPARE(rig.received(3), QByteArray("\rok"));
    }

    void helpDocumentKeepsItsCopy_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("read-only") << QString("read-only");
        QTest::newRow("full") << QString("full");
    }

    void helpDocumentKeepsItsCopy()
    {
        // The help window shows why a fetch failed in its own text; the
        // download reports it, and the local copy stays.
        QFETCH(QString, fault);
        const QByteArray fresh = "{\\rtf1 fresh help " + QByteArray(20000, 'x') + "}";
        HelpServer server(fresh);
        HelpDownload download;
        const FolderBytes before = folderBytes(env.folder());
        {
            FolderFault refusing(fault, env.folder());
            if (!refusing.skipReason().isEmpty())
                QSKIP(qPrintable(refusing.skipReason()));
            const HelpDownload::Result result = download.fetch(server.folder(), env.file("\\wnew.rtf"), 5000);
            QCOMPARE(int(result.outcome), int(HelpDownload::Outcome::Failed));
            QVERIFY2(result.reason.startsWith("the local copy cannot be written: "), qPrintable(result.reason));
            QCOMPARE(changedFile(before, folderBytes(env.folder())), QString());
        }
        const HelpDownload::Result result = download.fetch(server.folder(), env.file("\\wnew.rtf"), 5000);
        QCOMPARE(int(result.outcome), int(HelpDownload::Outcome::Replaced));
        QCOMPARE(env.readFile("\\wnew.rtf"), fresh);
    }

    void firstStartFillsWhatFits()
    {
        // The first start copies the default files into an empty per-user
        // folder. With room for only some of them, each file is there whole
        // or not at all: a cut copy would stand in for the default on every
        // later start, since files the user has are never overwritten.
        const QString fresh = env.configHome() + "/fresh";
        QVERIFY(QDir().mkpath(fresh));
        FullFolder full(fresh, 64 * 1024);
        if (!full.skipReason().isEmpty())
            QSKIP(qPrintable(full.skipReason()));
        const QStringList copied = ProgramFolder::fillWithDefaults(fresh);
        const FolderBytes files = full.files();
        QVERIFY2(!copied.isEmpty() && copied.size() < QDir(":/defaults").entryList(QDir::Files).size(),
                 qPrintable(copied.join(' ')));
        QCOMPARE(QStringList(files.keys()), [&] { QStringList sorted = copied; sorted.sort(); return sorted; }());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile shipped(":/defaults/" + it.key());
            QVERIFY(shipped.open(QIODevice::ReadOnly));
            QVERIFY2(it.value() == shipped.readAll(), qPrintable(it.key() + " is not the whole default"));
        }
    }
};

VORNAK_TEST_MAIN(FolderFaultsTest)

#include "tst_folderfaults.moc"
