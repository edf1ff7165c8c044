// The phonebook update window against a real vornak-dirserver: the marks
// carried over, the files written, the commands before, during and after a
// download, and the old files kept whole whenever something fails.
#include "DirectoryFixtures.h"
#include "support/ReadOnlyFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestMain.h"

#include "core/Widgets.h"
#include "directory/frmUpdate.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString kRetrieving = " Retrieving Subscribers List from 127.0.0.1 Please wait ... ";
const QString kComplete = " Update complete - press EXIT to close window. A Phonebook.csv File was generated to be "
                          "used with Microsoft Excel for personal use with ";

// The number vornak-dirserver --generate gives its i-th subscriber (from 0).
QString servedNumber(int i)
{
    return QString::number(100000 + (qint64(i) * 7919) % 900000);
}

PhonebookRecord findNumber(const QVector<PhonebookRecord>& records, const QString& number)
{
    for (const PhonebookRecord& entry : records) {
        if (entry.Number.trimmed() == number)
            return entry;
    }
    return record(-1, "missing", "");
}

// Retrieve, EXIT, Load, Sort, save, New Phonebook, the column headings.
QList<bool> commandStates(const frmUpdate& window)
{
    return {window.lblRetrieve->isEnabled(), window.lblExit->isEnabled(), window.cmdLoad->isEnabled(),
            window.cmdSort->isEnabled(),     window.cmdTesting->isEnabled(), window.cmdNewPhonebook->isEnabled(),
            window.lvwStat->header()->sectionsClickable()};
}

// An update window on its own state and dialogs, talking to `port`.
struct Rig {
    AppState state;
    ScriptedDialogs dialogs;
    frmUpdate window;

    Rig(const TestEnvironment& env, quint16 port, int receiveTimeoutMs = 500, int sortPauseMs = 0)
        : state(env.makeState()), window(state, dialogs, DirectoryOptions{port, {3000, receiveTimeoutMs}, sortPauseMs})
    {
        state.DirectoryServer = "127.0.0.1";
        state.now = [] { return QDateTime(QDate(2026, 12, 4), QTime(10, 30)); };
    }
};

} // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QVector<PhonebookRecord> phonebook() const { return readPhonebook(env.file("\\phonebook.txt")).records; }

private slots:
    void init() { env.reset(); }

    void downloadCarriesMarksAndWritesTheDirectory()
    {
        // The old phonebook: 1200 records; marks on served numbers at the
        // front, in the middle and beyond position 1001.
        QVector<PhonebookRecord> old;
        for (int i = 0; i < 1200; ++i)
            old << record(i + 1, "9" + QString::number(i), "Old");
        old[0] = record(1, servedNumber(0), "Old", 1, 1); // favourite and receiver
        old[0].RsGr1 = 1;                                   // not carried
        old[1] = record(2, "  " + servedNumber(5), "Old", 2, 1); // Check 2 is no mark; RsGr2 is
        old[2] = record(3, "555", "Old", 1, 1);                 // no longer served
        old[1100] = record(1101, servedNumber(1150), "Old", 1); // beyond the 1001st
        writeDirectory(env, old);

        DirServerProcess server({"--generate", "1200"});
        Rig rig(env, server.port(), 500, 300);
        frmUpdate& window = rig.window;
        QStringList duringPause;
        connect(&window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count == 1200)
                QTimer::singleShot(100, this, [&] {
                    duringPause = {window.lblStatus->text(), window.statusColor().name()};
                });
        });
        window.lblRetrieve_Click();
        QCOMPARE(rig.dialogs.texts(), QStringList());
        QCOMPARE(duringPause, QStringList({" Sorting Phonebook - please wait", "#ff00ff"}));
        QCOMPARE(window.lblStatus->text(), kComplete + " 1200 active numbers");
        QCOMPARE(window.statusColor(), QColor(0, 0, 0));
        QCOMPARE(commandStates(window), QList<bool>(7, true));
        QCOMPARE(window.lblCount->text() + " " + window.Text1->text(), "Entries received: 1200 " + servedNumber(1199));
        QVERIFY(window.lstFav->count() == 3 && window.lstRSend->count() == 3);

        // Numbered from 1, dated today.
        const QVector<PhonebookRecord> fresh = phonebook();
        QCOMPARE(fresh.size(), 1200);
        int favourites = 0;
        for (int n = 0; n < fresh.size(); ++n) {
            QCOMPARE(fresh[n].ID, qint16(n + 1));
            QCOMPARE(fresh[n].ChangeDate, QString("04.12.2026"));
            favourites += fresh[n].Check;
        }
        // Check, RsGr1, RsGr2 and SubsNr, the place in the download.
        auto marks = [](const PhonebookRecord& r) { return QList<qint16>{r.Check, r.RsGr1, r.RsGr2, r.SubsNr}; };
        QCOMPARE(marks(findNumber(fresh, servedNumber(0))), QList<qint16>({1, 0, 1, 1}));
        QCOMPARE(marks(findNumber(fresh, servedNumber(5))), QList<qint16>({0, 0, 1, 6}));
        QCOMPARE(marks(findNumber(fresh, servedNumber(1150))), QList<qint16>({1, 0, 0, 1151}));
        QCOMPARE(favourites, 2);
    }

    void failedDownloadsKeepTheOldFiles()
    {
        const struct {
            QStringList serverArguments; // none: no server at all
            QString message;
            int rows;
        } cases[] = {
            {{"--fault", "short", "--after", "3"}, "Invalid code or lenght: 0x5 / 60", 3},
            {{"--fault", "wrong-type"}, "Invalid code or lenght: 0xC / 12", 0},
            {{"--fault", "reset", "--after", "7"}, "Invalid code or lenght: 0x5 / 0", 7},
            {{"--fault", "stall", "--after", "2"},
             "The directory server 127.0.0.1 sent nothing for 0.5 seconds. The download was stopped; the "
             "phonebook was not changed.",
             2},
            {{"--fault", "short-stall", "--after", "1"}, "Invalid code or lenght: 0x5 / 60", 1},
            {{}, "ERROR: connect = -1", 0},
        };
        for (const auto& test : cases) {
            env.reset();
            writeDirectory(env, {record(1, servedNumber(0), "Old", 1, 1), record(2, "77", "Old", 0, 1)});
            const Snapshot before = snapshot(env);
            std::optional<DirServerProcess> server;
            if (!test.serverArguments.isEmpty())
                server.emplace(test.serverArguments + QStringList{"--generate", "20"});
            Rig rig(env, server ? server->port() : freePort());
            rig.window.lblRetrieve_Click();
            const QString name = test.serverArguments.join(' ');
            QVERIFY2(rig.dialogs.texts() == QStringList{test.message},
                     qPrintable(name + ": " + rig.dialogs.texts().join("|")));
            QVERIFY2(snapshot(env) == before, qPrintable(name));
            QCOMPARE(rig.window.lvwStat->topLevelItemCount(), test.rows);
            QCOMPARE(rig.window.lblStatus->text() + rig.window.statusColor().name(), kRetrieving + "#ff0000");
            // Retrieve, EXIT and save stay disabled; the harmless ones return.
            QCOMPARE(commandStates(rig.window), QList<bool>({false, false, true, true, false, true, true}));
        }
    }

    void unwritableFolderKeepsTheOldFiles()
    {
        writeDirectory(env, {record(1, servedNumber(0), "Old", 1), record(2, "2", "Old")});
        const Snapshot before = snapshot(env);
        DirServerProcess server({"--generate", "40"});
        Rig rig(env, server.port());
        {
            ReadOnlyFolder readOnly(env.folder());
            if (!readOnly.effective())
                QSKIP("this file system cannot make a folder read-only");
            rig.window.lblRetrieve_Click();
        }
        QCOMPARE(snapshot(env), before);
        QCOMPARE(rig.dialogs.asked.size(), 1);
        const QString message = rig.dialogs.asked[0].text;
        QVERIFY2(message.startsWith("The phonebook could not be saved: phonebook.txt cannot be written")
                     && message.contains(QDir::toNativeSeparators(env.folder()))
                     && message.contains("left as they were"),
                 qPrintable(message));
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(rig.window.statusColor(), QColor(255, 0, 0));
        // The list is complete: once the folder is writable, "save" writes it.
        QCOMPARE(commandStates(rig.window), QList<bool>(7, true));
        rig.window.cmdTesting_Click();
        QCOMPARE(rig.window.lblStatus->text(), kComplete + " 40 active numbers");
        QCOMPARE(phonebook().size(), 40);
        QCOMPARE(findNumber(phonebook(), servedNumber(0)).Check, qint16(1));
    }

    void commandsWhileEntriesArriveSortingAndClosing()
    {
        env.writeFile("\\names.csv", "1,mike\r\n2,Zeta\r\n3,alpha\r\n4,Mike\r\n5,bravo\r\n6,Bravo\r\n");
        DirServerProcess server({"--csv", env.file("\\names.csv"), "--pace", "60"});
        Rig rig(env, server.port(), 500, 300);
        QList<bool> during;
        QStringList shown;
        connect(&rig.window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count != 5)
                return;
            during = commandStates(rig.window);
            shown = {rig.window.lblCount->text(), rig.window.Text1->text()};
            // Commands clicked now are refused: the list stays the download's.
            rig.window.cmdNewPhonebook_Click();
            rig.window.lblExit_Click();
        });
        rig.window.lblRetrieve_Click();
        QCOMPARE(during, QList<bool>(7, false));
        QCOMPARE(shown, QStringList({"Entries received: 5", "5"}));
        QCOMPARE(commandStates(rig.window), QList<bool>(7, true));
        // Sorted by name as text: capitals before small letters, the way the
        // file is kept. Sort shows the sorted list for its pause at least.
        QStringList names;
        for (const PhonebookRecord& written : phonebook())
            names << written.Name.trimmed();
        QCOMPARE(names, QStringList({"Bravo", "Mike", "Zeta", "alpha", "bravo", "mike"}));
        QElapsedTimer clock;
        clock.start();
        rig.window.cmdSort_Click();
        QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));

        // Closing the window stops a stalled download at once; nothing is written.
        writeDirectory(env, {record(1, "1", "Old", 1)});
        const Snapshot before = snapshot(env);
        DirServerProcess stalling({"--fault", "stall", "--after", "3"});
        Rig closing(env, stalling.port(), 3600 * 1000); // a time-out the test's time limit would end first
        closing.window.show();
        connect(&closing.window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count == 3)
                QTimer::singleShot(50, &closing.window, &QWidget::close);
        });
        closing.window.lblRetrieve_Click();
        QVERIFY(!closing.window.isVisible());
        QCOMPARE(closing.dialogs.asked.size(), 0);
        QCOMPARE(snapshot(env), before);
    }

    void emptyDirectoryTestRowsSaveAndColumnSorts()
    {
        // An empty directory leaves three empty files, the backup too; the
        // count has two spaces before its 0.
        writeDirectory(env, {record(1, "12345", "Old", 1)});
        DirServerProcess server({"--fault", "end-only"});
        Rig rig(env, server.port());
        frmUpdate& window = rig.window;
        QCOMPARE(commandStates(window), QList<bool>(7, true));
        window.lblRetrieve_Click();
        QCOMPARE(rig.dialogs.texts(), QStringList());
        QCOMPARE(window.lblStatus->text(), kComplete + " 0 active numbers");
        QCOMPARE(window.lvwStat->topLevelItemCount(), 0);
        QCOMPARE(snapshot(env), Snapshot());
        QVERIFY(QFile::exists(env.file("\\phonebook-backup.txt")));

        // An empty list is saved only when the user insists.
        writeDirectory(env, {record(1, "1", "Old", 1)});
        const Snapshot before = snapshot(env);
        window.cmdTesting_Click(); // the question's default is No
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(snapshot(env), before);
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        window.cmdTesting_Click();
        QCOMPARE(env.readFile("\\phonebook.txt"), QByteArray());

        // A thousand test rows, saved as they stand.
        window.cmdNewPhonebook_Click();
        QCOMPARE(window.lvwStat->topLevelItemCount(), 1000);
        window.cmdTesting_Click();
        const QVector<PhonebookRecord> written = phonebook();
        QCOMPARE(written.size(), 1000);
        for (int n = 0; n < 1000; ++n)
            QCOMPARE(written[n], record(n + 1, window.lvwStat->topLevelItem(n)->text(frmUpdate::ColNumber), "Name"));
        QCOMPARE(window.lblStatus->text(), kComplete + " 0 active numbers");

        // The Number heading sorts the rows by number as text; Sort (by name)
        // puts the status back.
        window.lvwStat_ColumnClick(frmUpdate::ColNumber);
        for (int n = 1; n < 1000; ++n)
            QVERIFY(window.lvwStat->topLevelItem(n - 1)->text(frmUpdate::ColNumber)
                    <= window.lvwStat->topLevelItem(n)->text(frmUpdate::ColNumber));
        window.cmdSort_Click();
        QCOMPARE(window.lblStatus->text(), kComplete + " 0 active numbers");
    }
};

VORNAK_TEST_MAIN(UpdateWindowTest)

#include "tst_updatewindow.moc"
