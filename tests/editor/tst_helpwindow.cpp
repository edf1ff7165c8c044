// The help window: the download of the help document from a web server on
// 127.0.0.1 (complete, cut short, refused, silent, wrong answers), the local
// copy it falls back on, and the window opened from its command and from the
// editor.
#include "support/TestHost.h"

#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "editor/EditorPart.h"
#include "editor/HelpDownload.h"
#include "editor/RtfReader.h"
#include "editor/frmEdit.h"
#include "editor/frmHelp.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

namespace {

const QByteArray kFreshDocument = "{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}\\b Fresh news\\b0\\par second line\\par}";
const QByteArray kOldDocument = "{\\rtf1 Old copy\\par}";

// A web server that answers each request in one of the ways a server or a
// network can fail: a status, a body, and the length it announces (-1: none).
class HelpServer : public QObject {
public:
    enum class Answer { Complete, CutShort, CutShortWithoutLength, Silent, NotFound, NotRichText };

    explicit HelpServer(Answer answer)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this, answer] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket, answer] {
                    m_pending += socket->readAll();
                    if (!m_pending.contains("\r\n\r\n"))
                        return;
                    requests << QString::fromLatin1(m_pending.left(m_pending.indexOf("\r\n")));
                    m_pending.clear();
                    const qsizetype whole = kFreshDocument.size();
                    switch (answer) {
                    case Answer::Complete: return reply(socket, "200 OK", kFreshDocument, whole);
                    case Answer::CutShort: return reply(socket, "200 OK", kFreshDocument.left(20), whole);
                    case Answer::CutShortWithoutLength: return reply(socket, "200 OK", kFreshDocument.left(whole - 5), -1);
                    case Answer::Silent: return;
                    case Answer::NotFound: return reply(socket, "404 Not Found", "no such file", 12);
                    case Answer::NotRichText: return reply(socket, "200 OK", "<html>portal</html>", 19);
                    }
                });
            }
        });
    }
    QString folder() const { return QStringLiteral("http://127.0.0.1:%1/vornak").arg(m_server.serverPort()); }

    QStringList requests;

private:
    static void reply(QTcpSocket* socket, const QByteArray& status, const QByteArray& body, qint64 announced)
    {
        QByteArray head = "HTTP/1.1 " + status + "\r\nConnection: close\r\n";
        if (announced >= 0)
            head += "Content-Length: " + QByteArray::number(announced) + "\r\n";
        socket->write(head + "\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_pending;
};

// A port on which nothing listens: the probe's, closed as it goes.
QString refusingFolder()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return QStringLiteral("http://127.0.0.1:%1/vornak").arg(probe.serverPort());
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString local() const { return env.file("\\wnew.rtf"); }

private slots:
    void init() { env.reset(); }

    void onlyACompleteDownloadReplacesTheCopy()
    {
        // Every failure leaves the old copy as it was; no server: nobody
        // listening. A server that never answers is given up after the
        // time-out, not before.
        using Answer = HelpServer::Answer;
        const struct {
            std::optional<Answer> answer;
            int timeoutMs;
            const char* reason;
        } failures[] = {
            {Answer::CutShort, 5000, "stopped after 20 of"},
            {Answer::CutShortWithoutLength, 5000, "not a complete help document"},
            {Answer::NotFound, 5000, "404"},
            {Answer::NotRichText, 5000, "not a complete help document"},
            {Answer::Silent, 300, "did not answer within 0.3 seconds"},
            {std::nullopt, 5000, ""},
        };
        HelpDownload download;
        for (const auto& failure : failures) {
            env.writeFile("\\wnew.rtf", kOldDocument);
            std::optional<HelpServer> server;
            if (failure.answer)
                server.emplace(*failure.answer);
            QElapsedTimer clock;
            clock.start();
            const HelpDownload::Result result =
                download.fetch(server ? server->folder() : refusingFolder(), local(), failure.timeoutMs);
            QCOMPARE(result.outcome, HelpDownload::Outcome::Failed);
            QVERIFY2(!result.reason.isEmpty() && result.reason.contains(failure.reason), qPrintable(result.reason));
            QVERIFY(failure.answer != Answer::Silent || clock.elapsed() >= failure.timeoutMs);
            if (server)
                QCOMPARE(server->requests, QStringList{"GET /vornak/wnew.rtf HTTP/1.1"});
            QCOMPARE(env.readFile("\\wnew.rtf"), kOldDocument);
        }

        // No web folder: nothing is fetched.
        QCOMPARE(download.fetch("  ", local(), 5000).outcome, HelpDownload::Outcome::NotConfigured);

        // The whole document replaces the copy; a slash at the end of the
        // folder does not double.
        HelpServer complete(Answer::Complete);
        const HelpDownload::Result fresh = download.fetch(complete.folder() + "/", local(), 5000);
        QCOMPARE(fresh.outcome, HelpDownload::Outcome::Replaced);
        QCOMPARE(complete.requests, QStringList{"GET /vornak/wnew.rtf HTTP/1.1"});
        QCOMPARE(env.readFile("\\wnew.rtf"), kFreshDocument);
        // Written under a temporary name: nothing else is left in the folder.
        QVERIFY(QDir(env.folder()).entryList({"*wnew*"}, QDir::Files | QDir::Hidden) == QStringList{"wnew.rtf"});
    }

    void windowShowsWhatItHas()
    {
        SettingsStore settings;
        const auto opened = [&] {
            auto help = std::make_unique<frmHelp>(ProgramFolder(env.folder()), settings);
            help->Form_Load();
            return help;
        };

        // The shipped copy, without a web folder.
        const auto shipped = opened();
        QCOMPARE(QStringList({shipped->windowTitle(), shipped->lblHelpContext->text(), shipped->lblExit->text()}),
                 QStringList({"Quillnet USB Terminal Help", "What's new in this Version", "EXIT"}));
        QVERIFY(shipped->RichTextBox1->toPlainText().contains("New in this version"));
        QCOMPARE(shipped->lastDownload().outcome, HelpDownload::Outcome::NotConfigured);

        // The server cannot be reached: the last copy is shown.
        env.writeFile("\\wnew.rtf", kOldDocument);
        settings.save(setting_keys::HelpWebFolder, refusingFolder());
        QCOMPARE(opened()->RichTextBox1->toPlainText(), QString("Old copy"));

        // Neither a download nor a copy: the window says so, and why.
        QFile::remove(local());
        const auto missing = opened();
        const QString shown = missing->RichTextBox1->toPlainText(), reason = missing->lastDownload().reason;
        QVERIFY2(shown.startsWith("The help document is not available.") && !reason.isEmpty()
                     && shown.contains("could not be fetched: " + reason), qPrintable(shown));
        settings.save(setting_keys::HelpWebFolder, QString());
        QVERIFY(opened()->RichTextBox1->toPlainText().contains("no web folder is set"));

        // A fresh download is shown at once, formatted.
        HelpServer server(HelpServer::Answer::Complete);
        settings.save(setting_keys::HelpWebFolder, server.folder());
        const auto fresh = opened();
        QCOMPARE(fresh->RichTextBox1->toPlainText(), QString("Fresh news\nsecond line"));
        QCOMPARE(QTextCursor(fresh->RichTextBox1->document()).charFormat().fontWeight(), int(QFont::Bold));
    }

    void aLongDocumentIsCutWithALineSayingSo()
    {
        // A copy larger than any download, and a flood of paragraph marks:
        // their beginning, shown from the top, and a closing line.
        SettingsStore settings;
        const std::pair<QByteArray, QString> rows[] = {
            {"{\\rtf1 short{\\pict " + QByteArray(17 << 20, '0') + "}after}", "2 short"},
            {"{\\rtf1 " + QByteArray("\\par").repeated(4 << 20) + "}", QStringLiteral("%1 ").arg(rtf::kMaxParagraphs + 1)},
        };
        for (const auto& [copy, shown] : rows) {
            env.writeFile("\\wnew.rtf", copy);
            frmHelp help(ProgramFolder(env.folder()), settings);
            help.Form_Load();
            const QTextDocument* text = help.RichTextBox1->document();
            QCOMPARE(QStringList({QString::number(text->blockCount()) + " " + text->firstBlock().text(),
                                  text->lastBlock().text(), QString::number(help.RichTextBox1->textCursor().position())}),
                     QStringList({shown, "The help document goes on beyond what this window shows, and is cut here. "
                                         "The whole document is the file " + local() + ".", "0"}));
        }
    }

    void closingTheWindowStopsTheDownload()
    {
        HelpServer silent(HelpServer::Answer::Silent);
        SettingsStore settings;
        settings.save(setting_keys::HelpWebFolder, silent.folder());
        frmHelp help(ProgramFolder(env.folder()), settings);
        help.setDownloadTimeoutMs(60000);
        bool wasShown = false;
        QTimer::singleShot(200, &help, [&] {
            wasShown = help.isVisible() && help.isModal();
            // The shipped copy is readable while the download waits.
            QVERIFY(help.RichTextBox1->toPlainText().contains("New in this version"));
            QTest::mouseClick(help.lblExit, Qt::LeftButton);
        });
        help.runModal();
        QVERIFY(wasShown && !help.isVisible());
        QCOMPARE(help.lastDownload().reason, QString("the download was stopped"));
        QCOMPARE(silent.requests.size(), 1);
    }

    // The help command shows the window over the main window. The editor's
    // opener runs the editor modally on the file; its "help" says so and
    // shows the window over the editor, which stays open; its exit saves on
    // "yes" and refreshes the lists, and the editor is gone on return.
    void openedFromItsCommandAndFromTheEditor()
    {
        TestHost host(env);
        int refreshes = 0;
        EditorPart part(host, [&] { ++refreshes; });
        QStringList seen;
        QTimer::singleShot(0, &host, [&] {
            auto* help = host.findChild<frmHelp*>();
            QVERIFY(help);
            seen << help->RichTextBox1->toPlainText().section('\n', 0, 0);
            help->close();
        });
        host.click("lblAiuto");
        QCOMPARE(seen, QStringList{"Vornak 10.3.13"});

        env.writeFile("\\klkl.txt", "answer\r\n");
        QTimer::singleShot(0, &host, [&] {
            auto* editor = host.findChild<frmEdit*>();
            QVERIFY(editor);
            seen << QString::number(editor->isVisible() && editor->isModal()) << editor->txtText->toPlainText();
            QTimer::singleShot(0, editor, [&, editor] {
                auto* help = editor->findChild<frmHelp*>();
                QVERIFY(help);
                seen << "help over the editor";
                QTest::mouseClick(help->lblExit, Qt::LeftButton);
            });
            editor->Toolbar_ButtonClick("help");
            seen << QString::number(editor->isVisible());
            QTest::keyClicks(editor->txtText, "more ");
            host.scripted.answers << Dialogs::Answer::Yes;
            editor->Toolbar_ButtonClick("exit");
        });
        part.opener()(env.file("\\klkl.txt"), 0);
        QCOMPARE(seen, QStringList({"Vornak 10.3.13", "1", "answer\n", "help over the editor", "1"}));
        QCOMPARE(host.scripted.texts().first(), QString("Help"));
        QCOMPARE(host.appState.EditFile, env.file("\\klkl.txt"));
        QCOMPARE(env.readFile("\\klkl.txt"), QByteArray("more answer\r\n"));
        QCOMPARE(refreshes, 1);
        QVERIFY(!host.findChild<frmEdit*>());
    }
};

QTEST_MAIN(HelpWindowTest)
#include "tst_helpwindow.moc"
