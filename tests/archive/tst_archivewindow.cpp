// The message archive in the window: the Archive command, the archive
// window and its search, telexes on paper (PDF read back with pdftotext),
// saving and sending again, and the desktop notice over a bus of its own.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "archive/ArchiveListModel.h"
#include "archive/ArchivePart.h"
#include "archive/ArchiveRecorder.h"
#include "archive/ArchiveWindow.h"
#include "archive/ArchiveWriter.h"
#include "archive/DesktopNotice.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QVariantMap>

namespace {

const QDateTime kBase(QDate(2026, 8, 24), QTime(14, 0, 0));

// What a program of poppler-utils prints for a PDF ("" when it cannot run).
QString popplerOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path)
{
    return popplerOutput("pdftotext", {"-layout", path, "-"});
}

// The colour of the first page of a PDF, near its top left corner.
QColor pdfCornerColour(const QString& path)
{
    const QString prefix = path + "-page";
    QProcess::execute("pdftoppm", {"-r", "20", "-png", "-f", "1", "-l", "1", "-singlefile", path, prefix});
    const QImage page(prefix + ".png");
    return page.isNull() ? QColor() : page.pixelColor(3, 3);
}

// A stand-in notification service on a bus of the test's own.
class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Notice> notices;

public slots:
    Q_SCRIPTABLE QStringList GetCapabilities() { return {"body", "body-markup", "actions"}; }
    Q_SCRIPTABLE uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                             const QStringList& actions, const QVariantMap&, int)
    {
        notices.append({summary, body, actions});
        return uint(notices.size() + 40);
    }
};

} // namespace

class ArchiveWindowTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString archive() const { return env.folder() + "/archive"; }
    // Messages written as the window would write them, one a day from kBase on.
    QVector<ArchivedMessage> writeMessages(const QStringList& texts)
    {
        QVector<ArchivedMessage> written;
        ArchiveWriter writer(archive());
        connect(&writer, &ArchiveWriter::written, this, [&](const ArchivedMessage& message) { written.prepend(message); });
        for (int i = 0; i < texts.size(); ++i) {
            writer.begin(kBase.addDays(i));
            writer.append(texts[i]);
            writer.setFirstLine(firstLineOf(texts[i]));
            writer.finish(kBase.addDays(i).addSecs(30));
        }
        return written;
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    ArchiveWindow* openArchiveWindow(TerminalRig& rig)
    {
        rig.click("lblArchiveWindow");
        auto* window = rig.terminal->findChild<ArchiveWindow*>("frmArchive");
        // A window still loading its texts after five seconds counts as none.
        if (window && !QTest::qWaitFor([window] { return !window->textsLoading(); }, 5000))
            return nullptr;
        return window;
    }

private slots:
    void init() { env.reset(); }

    // Off at first; on, each message is kept whole (longer than the window
    // keeps), cut by a call, a close and the port closing, and by the quiet.
    void archivingThroughTheWindow()
    {
        TerminalRig rig(env);
        ArchivePart& part = rig.part<ArchivePart>();
        QVERIFY(!part.isOn());
        QCOMPARE(rig.command("lblArchive")->captionColor(), QColor(0xFFFFFF));
        rig.box.write("before\r\n");
        QTRY_VERIFY(rig.text().lineText().contains("before"));
        QVERIFY(!QFileInfo::exists(archive()));

        rig.settings.save("Archive", "QuietSeconds", "1");
        rig.click("lblArchive");
        QVERIFY(part.isOn() && part.recorder()->quietMs() == 1000);
        QCOMPARE(rig.command("lblArchive")->captionColor(), QColor(0x00FF00));
        QCOMPARE(rig.settings.get("Archive", "On"), QString("1"));
        QSignalSpy ended(part.recorder(), &ArchiveRecorder::messageEnded);

        // More than the window keeps: the window drops its head, the archive not.
        QByteArray sent;
        for (int i = 0; sent.size() < 20000; ++i)
            sent += "ZCZC " + QByteArray::number(i) + " the quick brown fox jumps over the lazy dog\r\n";
        for (qsizetype at = 0; at < sent.size(); at += 1000)
            rig.box.write(sent.mid(at, 1000));
        QTRY_VERIFY(rig.text().lineText().endsWith("lazy dog\r\n"));
        QVERIFY(rig.text().lineLength() < 17000);
        rig.CallNumber("12345", "demo");
        QCOMPARE(ended.size(), 1);
        const ArchivedMessage whole = ended[0][0].value<ArchivedMessage>();
        QCOMPARE(bytesOf(archive() + "/" + whole.file), sent);
        QCOMPARE(whole.firstLine, QString("ZCZC 0 the quick brown fox jumps over the lazy dog"));

        // The call's text is a message; Close ends it, closing the port the next.
        rig.box.write("nr? 012345\r\n");
        QTRY_VERIFY(part.recorder()->inMessage());
        rig.click("LblCloseConnection");
        QCOMPARE(ended.size(), 2);
        rig.box.write("cleared\r\n");
        QTRY_VERIFY(part.recorder()->inMessage());
        rig.click("lblOpen1");
        QCOMPARE(ended.size(), 3);
        QCOMPARE(bytesOf(archive() + "/" + ended[2][0].value<ArchivedMessage>().file), QByteArray("cleared\r\n"));

        // The quiet time ends a message too.
        rig.click("lblOpen1");
        rig.box.waitForBytes(1, 2000);
        rig.box.write("quiet after this\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 4, 5000);
        QCOMPARE(ArchiveStore(archive()).list(false).messages.size(), 4);

        // Off again: nothing more is kept.
        rig.click("lblArchive");
        QVERIFY(!part.isOn() && rig.settings.get("Archive", "On") == "0");
        rig.box.write("not kept\r\n");
        QTRY_VERIFY(rig.text().lineText().contains("not kept"));
        QCOMPARE(ArchiveStore(archive()).messageFiles().size(), 4);
    }

    // Newest first from the index, a search that filters as the user types,
    // the message in the terminal's font on paper, a message that ends
    // while the window is open, and the settings below the list.
    void archiveWindowListsAndFinds()
    {
        const QVector<ArchivedMessage> written = writeMessages(
            {"ZCZC 4711\r\nWetter: sonnig in K\u00f6ln\r\nNNNN\r\n", "nr? 012345\r\n012345 demo d\r\nhello there\r\n",
             "klkl\r\nhere is 12345 vornak d\r\n"});
        // The list comes from the index: an index line that says otherwise
        // than the file is what the list shows.
        QByteArray index = bytesOf(ArchiveStore(archive()).indexPath());
        QVERIFY(index.contains("\tnr? 012345\r\n"));
        env.writeFile("/archive/index.txt", index.replace("\tnr? 012345\r\n", "\tas the index says\r\n"));

        TerminalRig rig(env, false);
        ArchiveWindow* window = openArchiveWindow(rig);
        QVERIFY(window && window->isVisible());
        const auto shownRows = [window] {
            QStringList rows;
            for (int row = 0; row < window->model().rowCount(); ++row) {
                const QModelIndex time = window->model().index(row, ArchiveListModel::TimeColumn);
                rows << time.data().toString() + " " + time.siblingAtColumn(ArchiveListModel::FirstLineColumn).data().toString();
            }
            return rows;
        };
        QCOMPARE(shownRows(), QStringList({"2026-08-26 14:00:00 klkl", "2026-08-25 14:00:00 as the index says",
                                           "2026-08-24 14:00:00 ZCZC 4711"}));
        QCOMPARE(window->lblArchiveCount->text(), QString("3 messages"));
        QCOMPARE(window->model().index(2, ArchiveListModel::LengthColumn).data().toString(),
                 QString::number(written.last().bytes));

        // The newest is shown, as the file holds it, in the terminal's font on paper.
        QCOMPARE(window->txtArchiveMessage->toPlainText(), QString("klkl\nhere is 12345 vornak d\n"));
        QCOMPARE(window->txtArchiveMessage->font().family(), rig.text().font().family());
        QCOMPARE(window->txtArchiveMessage->palette().base().style(), Qt::TexturePattern);

        // Search as the user types, in the texts.
        QTest::keyClicks(window->txtArchiveSearch, "K\u00d6LN");
        QCOMPARE(shownRows(), QStringList({"2026-08-24 14:00:00 ZCZC 4711"}));
        QCOMPARE(window->lblArchiveCount->text(), QString("1 of 3 messages"));
        QVERIFY(window->txtArchiveMessage->toPlainText().startsWith("ZCZC 4711"));
        window->txtArchiveSearch->setText("12345 d");
        QCOMPARE(shownRows().size(), 2);
        window->txtArchiveSearch->setText("nothing like it");
        QVERIFY(shownRows().isEmpty() && !window->cmdPrintMessage->isEnabled());
        window->txtArchiveSearch->clear();

        // A message that ends while the window is open comes on top.
        rig.settings.save("Archive", "QuietSeconds", "1");
        rig.click("lblArchive");
        rig.click("lblOpen1");
        rig.box.waitForBytes(1, 2000);
        rig.box.write("fresh telex\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window->model().rowCount(), 4, 5000);
        QVERIFY(shownRows().first().endsWith(" fresh telex"));
        // The message being read stays chosen.
        QCOMPARE(window->chosenText(), QString("klkl\r\nhere is 12345 vornak d\r\n"));
        window->chooseRow(0);
        QCOMPARE(window->txtArchiveMessage->toPlainText(), QString("fresh telex\n"));

        // The settings below the list.
        window->spnQuietSeconds->setValue(7);
        QCOMPARE(rig.settings.get("Archive", "QuietSeconds"), QString("7"));
        QCOMPARE(rig.part<ArchivePart>().recorder()->quietMs(), 7000);
        window->chkNotice->setChecked(true);
        window->chkPaperPicture->setChecked(false);
        QCOMPARE(QStringList({rig.settings.get("Archive", "Notice"), rig.settings.get("Archive", "PaperPicture")}),
                 QStringList({"1", "0"}));
    }

    // A message and the terminal's text as PDF and print: real text, 68
    // columns, the header on every page, the paper picture or plain white.
    void telexesOnPaper()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() || QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QString longText = "ZCZC 4711 weather\r\n" + QString(100, 'w') + "\r\n";
        for (int i = 1; i <= 120; ++i)
            longText += QStringLiteral("line %1 of the report\r\n").arg(i);
        writeMessages({longText});
        TerminalRig rig(env, false);
        ArchiveWindow* window = openArchiveWindow(rig);
        QVERIFY(window);

        const QString pdf = env.folder() + "/message.pdf";
        rig.dialogs.files = {pdf};
        window->cmdMessagePdf->click();
        QCOMPARE(rig.dialogs.fileRequests.last().proposedName, QString("2026-08-24_14-00-00.pdf"));
        const QString text = pdfText(pdf);
        // 68 columns: the long line goes on on the next line.
        QVERIFY2(text.contains(QString(68, 'w') + "\n") && text.contains("\n" + QString(32, 'w') + "\n"), qPrintable(text.left(600)));
        QStringList headers;
        for (QString line : text.split('\n')) {
            if (line.remove(u'\f').startsWith("2026-08-24 14:00:00"))
                headers << line.simplified();
        }
        const int pages = int(headers.size());
        QVERIFY2(pages >= 2, qPrintable(text.left(400)));
        QCOMPARE(headers.first(), QStringLiteral("2026-08-24 14:00:00 ZCZC 4711 weather 1/%1").arg(pages));
        QCOMPARE(headers.last(), QStringLiteral("2026-08-24 14:00:00 ZCZC 4711 weather %1/%1").arg(pages));
        for (int i = 1; i <= 120; ++i)
            QVERIFY2(text.contains(QStringLiteral("line %1 of the report\n").arg(i)), qPrintable(QString::number(i)));
        const QColor paper = pdfCornerColour(pdf);
        QVERIFY2(paper.isValid() && paper.red() > 200 && paper.blue() < paper.red() - 10, qPrintable(paper.name()));

        // Plain white, printed: the printer chooser writes a PDF here.
        window->chkPaperPicture->setChecked(false);
        const QString printed = env.folder() + "/printed.pdf";
        rig.part<ArchivePart>().setPrinterChooser([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        });
        window->cmdPrintMessage->click();
        QVERIFY(pdfText(printed).contains("line 120 of the report"));
        QCOMPARE(pdfCornerColour(printed), QColor(Qt::white));
        QCOMPARE(rig.action(), QStringLiteral("Printed: %1 pages").arg(pages));

        // The terminal window's text, as PDF.
        rig.click("lblOpen1");
        rig.box.write("\r\n4711 demo d\r\nthe far side writes\r\n");
        QTRY_VERIFY(rig.text().lineText().contains("writes"));
        const QString terminalPdf = env.folder() + "/terminal.pdf";
        rig.dialogs.files = {terminalPdf};
        rig.click("lblTextPdf");
        const QString terminalText = pdfText(terminalPdf);
        QVERIFY2(terminalText.contains("Terminal Ready") && terminalText.contains("4711 demo d")
                     && terminalText.contains("the far side writes"),
                 qPrintable(terminalText));
        // A folder that cannot take the file: said, and nothing else breaks.
        rig.dialogs.files = {env.folder() + "/no/such/folder/x.pdf"};
        rig.click("lblTextPdf");
        QVERIFY(rig.dialogs.texts().last().startsWith("The PDF cannot be written to " + env.folder() + "/no/such/folder/x.pdf"));
    }

    // Save As Text keeps the bytes; Send Again asks, and sends through the
    // file transmission only during a call.
    void savingAndSendingAgain()
    {
        const QVector<ArchivedMessage> written = writeMessages({"Gr\u00fc\u00dfe aus K\u00f6ln\r\nNNNN"});
        TerminalRig rig(env);
        ArchiveWindow* window = openArchiveWindow(rig);
        QVERIFY(window);
        const QString saved = env.folder() + "/saved.txt";
        rig.dialogs.files = {saved};
        window->cmdSaveText->click();
        QCOMPARE(bytesOf(saved), bytesOf(archive() + "/" + written[0].file));

        rig.dialogs.clear();
        rig.dialogs.answers = {Dialogs::Answer::No};
        window->cmdSendAgain->click();
        QCOMPARE(rig.dialogs.texts(), QStringList({" You are about to send the message of 2026-08-24 14:00:00 again "}));
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        window->cmdSendAgain->click();
        QCOMPARE(rig.dialogs.texts().last(), QString(" No existing connection active ......"));
        rig.state.ConnectionActive = true;
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        window->cmdSendAgain->click();
        QCOMPARE(rig.received(20), QByteArray("\rGruesze aus Koeln\rNNNN\r\r"));
    }

    // A message that starts while the window is not active shows a notice
    // with its first line (plain text); clicking it raises the window.
    void desktopNotice()
    {
        QProcess daemon;
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000))
            QSKIP("dbus-daemon (a session bus for the test) cannot be started");
        const QString address = QString::fromLatin1(daemon.readLine()).trimmed();
        QDBusConnection server = QDBusConnection::connectToBus(address, "notice-server");
        Notifications service;
        QVERIFY(server.registerObject(DesktopNotice::kPath, &service, QDBusConnection::ExportScriptableSlots));
        QVERIFY(server.registerService(DesktopNotice::kService));

        {
            TerminalRig rig(env);
            ArchivePart& part = rig.part<ArchivePart>();
            part.notice().setConnection(QDBusConnection::connectToBus(address, "notice-client"));
            rig.settings.save("Archive", "QuietSeconds", "1");
            rig.click("lblArchive");
            // Off by default: nothing shown.
            rig.box.write("first <b>telex</b> & co\r\n");
            QTRY_VERIFY(part.recorder()->inMessage());
            QTest::qWait(200);
            QVERIFY(service.notices.isEmpty());
            part.recorder()->cut();

            rig.settings.save("Archive", "Notice", "1");
            // The user works in another window.
            rig.terminal->show();
            QWidget elsewhere;
            elsewhere.show();
            elsewhere.activateWindow();
            QTRY_VERIFY(elsewhere.isActiveWindow() && !rig.terminal->isActiveWindow());
            rig.box.write("\r\nZCZC <b>4711</b> & co\r\nmore");
            QTRY_COMPARE(service.notices.size(), 1);
            QCOMPARE(service.notices[0].summary, QString("Telex arriving"));
            QCOMPARE(service.notices[0].body, QString("ZCZC &lt;b&gt;4711&lt;/b&gt; &amp; co"));
            QVERIFY(service.notices[0].actions.contains("default"));
            QTRY_COMPARE(part.notice().lastId(), 41u);

            // The click on it.
            QDBusMessage clicked = QDBusMessage::createSignal(DesktopNotice::kPath, DesktopNotice::kService, "ActionInvoked");
            clicked << 41u << QString("default");
            QVERIFY(server.send(clicked));
            QTRY_VERIFY(rig.terminal->isActiveWindow());

            // No service on the bus: no notice, nothing else changes.
            part.recorder()->cut();
            QVERIFY(server.unregisterService(DesktopNotice::kService));
            QVERIFY(!part.notice().show("Telex arriving", "x"));
        }
        daemon.kill();
        daemon.waitForFinished(3000);
    }
};

VORNAK_TEST_MAIN(ArchiveWindowTest)
#include "tst_archivewindow.moc"
