// The phonebook update window against a real vornak-dirserver: the marks
// carried over, the files written, the commands before, during and after a
// download, and the old files kept whole whenever something fails.
#include "DirServerProcess.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "app/SettingsStore.h"
#include "app/Widgets.h"
#include "app/terminal.h"
#include "directory/PhonebookFile.h"
#include "directory/frmUpdate.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kRetrieving = " Retrieving Subscribers List from 127.0.0.1 Please wait ... ";
const QString kComplete = " Update complete - press EXIT to close window. A Phonebook.csv File was generated to be "
                          "used with Microsoft Excel for personal use with ";

// The number vornak-dirserver --generate gives its i-th subscriber (from 0).
QString servedNumber(int i)
{
    return QString::number(100000 + (qint64(i) * 7919) % 900000);
}

PhonebookRecord oldRecord(int id, const QString& number, qint16 check = 0, qint16 rsGr2 = 0, qint16 rsGr1 = 0)
{
    PhonebookRecord record;
    record.ID = qint16(id);
    record.setNumber(number);
    record.setName("Old entry " + QString::number(id));
    record.Check = check;
    record.RsGr1 = rsGr1;
    record.RsGr2 = rsGr2;
    record.ChangeDate = "01.01.2020";
    return record;
}

const PhonebookRecord* findNumber(const QVector<PhonebookRecord>& records, const QString& number)
{
    for (const PhonebookRecord& record : records) {
        if (record.Number.trimmed() == number)
            return &record;
    }
    return nullptr;
}

struct Snapshot {
    QByteArray phonebook, csv, backup;
    bool operator==(const Snapshot&) const = default;
};

// Writes from a folder that only an ordinary user's rights reach: made
// read-only, and the process acting as "nobody" when it runs as root.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(QFile::encodeName(folder))
    {
        ::chmod(QFile::encodeName(QFileInfo(folder).path()).constData(), 0755);
        ::chmod(m_folder.constData(), 0555);
        m_root = ::geteuid() == 0;
        if (m_root && ::seteuid(65534) != 0)
            m_root = false;
    }
    ~ReadOnlyFolder()
    {
        if (m_root)
            (void)::seteuid(0);
        ::chmod(m_folder.constData(), 0755);
    }

private:
    QByteArray m_folder;
    bool m_root = false;
};

} // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    AppState makeState() const
    {
        AppState state = env.makeState();
        state.DirectoryServer = "127.0.0.1";
        state.now = [] { return QDateTime(QDate(2026, 12, 4), QTime(10, 30)); };
        return state;
    }

    static DirectoryOptions options(quint16 port)
    {
        DirectoryOptions options;
        options.port = port;
        options.limits = {3000, 500};
        options.sortPauseMs = 0;
        return options;
    }

    Snapshot snapshot() const
    {
        return {env.readFile("\\phonebook.txt"), env.readFile("\\phonebook.csv"),
                env.readFile("\\phonebook-backup.txt")};
    }

    QVector<PhonebookRecord> phonebook() const
    {
        return readPhonebook(env.file("\\phonebook.txt")).records;
    }

    void writeOld(const QVector<PhonebookRecord>& records) const
    {
        QString error;
        QVERIFY2(writeDirectoryFiles(DirectoryFiles::in(ProgramFolder(env.folder())), records, &error),
                 qPrintable(error));
    }

    static QList<bool> commandStates(const frmUpdate& window)
    {
        return {window.lblRetrieve->isEnabled(), window.lblExit->isEnabled(), window.cmdLoad->isEnabled(),
                window.cmdSort->isEnabled(),     window.cmdTesting->isEnabled(), window.cmdNewPhonebook->isEnabled(),
                window.lvwStat->header()->sectionsClickable()};
    }

private slots:
    void init() { env.reset(); }

    void openingState()
    {
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs);
        QCOMPARE(window.windowTitle(), QString(" Quillnet Phonebook Update Utility "));
        QCOMPARE(window.lvwStat->topLevelItemCount(), 0);
        QCOMPARE(window.lblStatus->text(), QString("Press Retrieve to start download"));
        QStringList headers;
        for (int column = 0; column < window.lvwStat->columnCount(); ++column)
            headers << window.lvwStat->headerItem()->text(column);
        QCOMPARE(headers, QStringList({"ID", "Number", "Name", "Check", "RsGr1", "RsGr2", "RsGr3", "RsGr4",
                                       "SubsNr", "Change Date"}));
        QCOMPARE(window.lvwStat->columnWidth(frmUpdate::ColName), 3100 / 15);
        QCOMPARE(commandStates(window), QList<bool>(7, true));
        QCOMPARE(window.cmdTesting->text(), QString("save"));
        QCOMPARE(window.cmdNewPhonebook->text(), QString("New Phonebook"));
    }

    void downloadCarriesMarksAndWritesTheDirectory()
    {
        // The old phonebook: 1200 records; marks on served numbers at the
        // front, in the middle and beyond position 1001.
        QVector<PhonebookRecord> old;
        for (int i = 0; i < 1200; ++i)
            old << oldRecord(i + 1, "9" + QString::number(i));
        old[0] = oldRecord(1, servedNumber(0), 1, 1, 1);           // favourite, receiver, RsGr1
        old[1] = oldRecord(2, "  " + servedNumber(5), 2, 1);        // Check 2 is no mark; RsGr2 is
        old[2] = oldRecord(3, "555", 1, 1);                         // no longer served
        old[1100] = oldRecord(1101, servedNumber(1150), 1, 0);      // beyond the 1001st
        writeOld(old);

        DirServerProcess server({"--generate", "1200"});
        QVERIFY(server.port());
        AppState state = makeState();
        ScriptedDialogs dialogs;
        DirectoryOptions opts = options(server.port());
        opts.sortPauseMs = 300;
        frmUpdate window(state, dialogs, opts);
        QString statusDuringPause;
        QColor colourDuringPause;
        connect(&window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count == 1200)
                QTimer::singleShot(100, this, [&] {
                    statusDuringPause = window.lblStatus->text();
                    colourDuringPause = window.statusColor();
                });
        });
        window.lblRetrieve_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(statusDuringPause, QString(" Sorting Phonebook - please wait"));
        QCOMPARE(colourDuringPause, QColor(255, 0, 255));
        QCOMPARE(window.lblStatus->text(), kComplete + " 1200 active numbers");
        QCOMPARE(window.statusColor(), QColor(0, 0, 0));
        QCOMPARE(commandStates(window), QList<bool>(7, true));
        QCOMPARE(window.RecordCount(), 1200);
        QCOMPARE(window.lvwStat->topLevelItemCount(), 1200);
        QCOMPARE(window.lblCount->text(), QString("Entries received: 1200"));
        QCOMPARE(window.Text1->text(), servedNumber(1199));
        QCOMPARE(window.lstFav->count(), 3);
        QCOMPARE(window.lstRSend->count(), 3);
        QCOMPARE(window.mergeTables().FavNumbers.size(), 1200);
        QCOMPARE(window.mergeTables().FavNumbers[1100].trimmed(), servedNumber(1150));

        const QVector<PhonebookRecord> fresh = phonebook();
        QCOMPARE(fresh.size(), 1200);
        QString previous;
        for (int n = 0; n < fresh.size(); ++n) {
            QCOMPARE(fresh[n].ID, qint16(n + 1));
            QCOMPARE(fresh[n].ChangeDate, QString("04.12.2026"));
            QVERIFY(QString::compare(previous, fresh[n].Name.trimmed(), Qt::CaseInsensitive) <= 0);
            previous = fresh[n].Name.trimmed();
        }
        const PhonebookRecord* first = findNumber(fresh, servedNumber(0));
        QVERIFY(first);
        QCOMPARE(first->Check, qint16(1));
        QCOMPARE(first->RsGr2, qint16(1));
        QCOMPARE(first->RsGr1, qint16(0));
        QCOMPARE(first->SubsNr, qint16(1));
        const PhonebookRecord* sixth = findNumber(fresh, servedNumber(5));
        QCOMPARE(sixth->Check, qint16(0));
        QCOMPARE(sixth->RsGr2, qint16(1));
        QCOMPARE(sixth->SubsNr, qint16(6));
        QCOMPARE(findNumber(fresh, servedNumber(1150))->Check, qint16(1));
        QVERIFY(!findNumber(fresh, "555"));
        int favourites = 0;
        for (const PhonebookRecord& record : fresh)
            favourites += record.Check;
        QCOMPARE(favourites, 2);

        QByteArray csv;
        for (const PhonebookRecord& record : fresh)
            csv += csvLine(record);
        QCOMPARE(env.readFile("\\phonebook.csv"), csv);
        QCOMPARE(env.readFile("\\phonebook-backup.txt"), env.readFile("\\phonebook.txt"));

        // A list window saves (IDs from 0); the next download renumbers from
        // 1 and keeps the marks the list window set.
        QString error;
        QVERIFY(rewritePhonebook(env.file("\\phonebook.txt"),
                                 [](int index, PhonebookRecord& record) {
                                     record.ID = qint16(index);
                                     if (index == 10)
                                         record.Check = 1;
                                 },
                                 &error));
        const QVector<PhonebookRecord> saved = phonebook();
        QCOMPARE(saved.first().ID, qint16(0));
        QCOMPARE(saved.last().ID, qint16(1199));
        const QString markedNumber = saved[10].Number.trimmed();
        window.lblRetrieve_Click();
        const QVector<PhonebookRecord> again = phonebook();
        QCOMPARE(again.first().ID, qint16(1));
        QCOMPARE(again.last().ID, qint16(1200));
        QCOMPARE(findNumber(again, markedNumber)->Check, qint16(1));
        QCOMPARE(findNumber(again, servedNumber(0))->RsGr2, qint16(1));
    }

    void emptyDirectory()
    {
        writeOld({oldRecord(1, "12345", 1)});
        DirServerProcess server({"--fault", "end-only"});
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs, options(server.port()));
        window.lblRetrieve_Click();
        QCOMPARE(dialogs.texts(), QStringList());
        // Two spaces between "with" and the 0.
        QVERIFY(window.lblStatus->text().endsWith("personal use with  0 active numbers"));
        QCOMPARE(window.lvwStat->topLevelItemCount(), 0);
        QCOMPARE(snapshot(), Snapshot());
        QVERIFY(QFile::exists(env.file("\\phonebook-backup.txt")));
    }

    void failedDownloadsKeepTheOldFiles()
    {
        struct Case {
            QStringList serverArguments;
            QString message;
            int rows;
        };
        const QList<Case> cases = {
            {{"--fault", "short", "--after", "3"}, "Invalid code or lenght: 0x5 / 60", 3},
            {{"--fault", "wrong-type"}, "Invalid code or lenght: 0xC / 12", 0},
            {{"--fault", "reset", "--after", "7"}, "Invalid code or lenght: 0x5 / 0", 7},
            {{"--fault", "stall", "--after", "2"},
             "The directory server 127.0.0.1 sent nothing for 0.5 seconds. The download was stopped; the "
             "phonebook was not changed.",
             2},
            {{"--fault", "short-stall", "--after", "1"}, "Invalid code or lenght: 0x5 / 60", 1},
        };
        for (const Case& test : cases) {
            env.reset();
            writeOld({oldRecord(1, servedNumber(0), 1, 1), oldRecord(2, "77", 0, 1)});
            const Snapshot before = snapshot();
            DirServerProcess server(test.serverArguments + QStringList{"--generate", "20"});
            AppState state = makeState();
            ScriptedDialogs dialogs;
            frmUpdate window(state, dialogs, options(server.port()));
            window.lblRetrieve_Click();
            const QString name = test.serverArguments.join(' ');
            QVERIFY2(dialogs.texts() == QStringList{test.message}, qPrintable(name + ": " + dialogs.texts().join("|")));
            QVERIFY2(snapshot() == before, qPrintable(name));
            QCOMPARE(window.lvwStat->topLevelItemCount(), test.rows);
            QCOMPARE(window.lblStatus->text(), kRetrieving);
            QCOMPARE(window.statusColor(), QColor(255, 0, 0));
            // Retrieve, EXIT and save stay disabled; the harmless ones return.
            QCOMPARE(commandStates(window), QList<bool>({false, false, true, true, false, true, true}));
        }

        // No server at all.
        env.reset();
        writeOld({oldRecord(1, "1", 1)});
        const Snapshot before = snapshot();
        quint16 freePort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            freePort = probe.serverPort();
        }
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs, options(freePort));
        window.lblRetrieve_Click();
        QCOMPARE(dialogs.texts(), QStringList{"ERROR: connect = -1"});
        QCOMPARE(snapshot(), before);
    }

    void unwritableFolderKeepsTheOldFiles()
    {
        writeOld({oldRecord(1, servedNumber(0), 1), oldRecord(2, "2")});
        const Snapshot before = snapshot();
        DirServerProcess server({"--generate", "40"});
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs, options(server.port()));
        {
            ReadOnlyFolder readOnly(env.folder());
            window.lblRetrieve_Click();
        }
        QCOMPARE(snapshot(), before);
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked[0].text.startsWith("The phonebook could not be saved: phonebook.txt cannot be written"));
        QVERIFY(dialogs.asked[0].text.contains("left as they were"));
        QCOMPARE(dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(window.statusColor(), QColor(255, 0, 0));
        // The list is complete: once the folder is writable, "save" writes it.
        QCOMPARE(commandStates(window), QList<bool>(7, true));
        window.cmdTesting_Click();
        QCOMPARE(phonebook().size(), 40);
        QCOMPARE(findNumber(phonebook(), servedNumber(0))->Check, qint16(1));
    }

    void commandsWhileEntriesArrive()
    {
        DirServerProcess server({"--generate", "12", "--pace", "60"});
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs, options(server.port()));
        QList<bool> during;
        QString countText, number;
        connect(&window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count != 5)
                return;
            during = commandStates(window);
            countText = window.lblCount->text();
            number = window.Text1->text();
            // Commands clicked now are refused: the list stays the download's.
            window.cmdNewPhonebook_Click();
            window.lblExit_Click();
        });
        window.lblRetrieve_Click();
        QCOMPARE(during, QList<bool>(7, false));
        QCOMPARE(countText, QString("Entries received: 5"));
        QCOMPARE(number, servedNumber(4));
        QCOMPARE(window.lvwStat->topLevelItemCount(), 12);
        QCOMPARE(commandStates(window), QList<bool>(7, true));
    }

    void closingDuringADownloadStopsIt()
    {
        writeOld({oldRecord(1, "1", 1)});
        const Snapshot before = snapshot();
        DirServerProcess server({"--fault", "stall", "--after", "3"});
        AppState state = makeState();
        ScriptedDialogs dialogs;
        DirectoryOptions opts = options(server.port());
        opts.limits.receiveTimeoutMs = 20000;
        frmUpdate window(state, dialogs, opts);
        window.show();
        connect(&window, &frmUpdate::entryReceived, this, [&](int count) {
            if (count == 3)
                QTimer::singleShot(50, &window, &QWidget::close);
        });
        QElapsedTimer clock;
        clock.start();
        window.lblRetrieve_Click();
        QVERIFY(clock.elapsed() < 15000); // not the receive time-out
        QVERIFY(!window.isVisible());
        QCOMPARE(dialogs.asked.size(), 0);
        QCOMPARE(snapshot(), before);
    }

    void testRowsSaveAndColumnSorts()
    {
        AppState state = makeState();
        ScriptedDialogs dialogs;
        frmUpdate window(state, dialogs, options(1));

        // An empty list is saved only when the user insists.
        writeOld({oldRecord(1, "1", 1)});
        const Snapshot before = snapshot();
        window.cmdTesting_Click(); // the question's default is No
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(snapshot(), before);
        dialogs.answers = {Dialogs::Answer::Yes};
        window.cmdTesting_Click();
        QCOMPARE(env.readFile("\\phonebook.txt"), QByteArray());
        dialogs.clear();

        window.cmdNewPhonebook_Click();
        QCOMPARE(window.lvwStat->topLevelItemCount(), 1000);
        const QTreeWidgetItem* row = window.lvwStat->topLevelItem(999);
        QCOMPARE(row->text(frmUpdate::ColId), QString("1000"));
        QCOMPARE(row->text(frmUpdate::ColName), QString("Name"));
        QCOMPARE(row->text(frmUpdate::ColChangeDate), QString("04.12.2026"));
        QVERIFY(row->text(frmUpdate::ColNumber).toInt() < 5000);

        window.cmdTesting_Click();
        const QVector<PhonebookRecord> written = phonebook();
        QCOMPARE(written.size(), 1000);
        for (int n = 0; n < 1000; ++n) {
            QCOMPARE(written[n].ID, qint16(n + 1));
            QCOMPARE(written[n].Name.trimmed(), QString("Name"));
            QCOMPARE(written[n].Number.trimmed(), window.lvwStat->topLevelItem(n)->text(frmUpdate::ColNumber));
        }
        QCOMPARE(window.lblStatus->text(), kComplete + " 0 active numbers");

        // Column headings sort ascending by their column, as text; names
        // without regard to case.
        window.lvwStat->clear();
        const QList<QStringList> rows = {{"", "30", "bauer"}, {"", "200", "Zorn"}, {"", "1000", "Albers"},
                                         {"", "4", "de Vries"}};
        for (const QStringList& texts : rows)
            window.lvwStat->addTopLevelItem(new QTreeWidgetItem(texts));
        auto column = [&](int index) {
            QStringList texts;
            for (int i = 0; i < window.lvwStat->topLevelItemCount(); ++i)
                texts << window.lvwStat->topLevelItem(i)->text(index);
            return texts;
        };
        window.lvwStat_ColumnClick(frmUpdate::ColNumber);
        QCOMPARE(column(frmUpdate::ColNumber), QStringList({"1000", "200", "30", "4"}));
        window.lvwStat->clear();
        window.cmdNewPhonebook_Click(); // rows of the window's own kind
        for (int i = 0; i < 4; ++i)
            window.lvwStat->topLevelItem(i)->setText(frmUpdate::ColName, rows[i][2]);
        for (int i = 4; i < 1000; ++i)
            window.lvwStat->topLevelItem(i)->setText(frmUpdate::ColName, "zz");
        window.cmdSort_Click();
        QCOMPARE(column(frmUpdate::ColName).mid(0, 4), QStringList({"Albers", "bauer", "de Vries", "Zorn"}));
        QCOMPARE(window.lblStatus->text(), kComplete + " 0 active numbers"); // restored after sorting
    }

    void launcherAsksFirst()
    {
        writeOld({oldRecord(1, "1", 1)});
        const Snapshot before = snapshot();
        AppState state = makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        frmTerminal terminal(state, dialogs, settings);
        auto* update = terminal.findChild<CommandLabel*>("lblUpdate");
        QVERIFY(update);
        QCOMPARE(update->text(), QString("Update"));
        QCOMPARE(update->toolTip(), QString("Update Phonebook direct connection to the sunscribers Server"));

        dialogs.answers = {Dialogs::Answer::No};
        emit update->clicked();
        QCOMPARE(dialogs.asked.size(), 1);
        const ScriptedDialogs::Asked question = dialogs.asked[0];
        QCOMPARE(question.text, QString("This Option will retrieve the subscriber list directly from one the "
                                        "pre-defined servers, Favorites and Rundsend will be saved automaticaly. "
                                        "Please do not abuse to prevent Server issues!!"));
        QCOMPARE(question.title, QString("Update Quillnet Phonebook"));
        QCOMPARE(question.icon, Dialogs::Icon::Critical);
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(question.defaultAnswer, Dialogs::Answer::No);
        QVERIFY(!terminal.findChild<frmUpdate*>());
        QCOMPARE(snapshot(), before);

        dialogs.answers = {Dialogs::Answer::Yes};
        QString openedStatus;
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            auto* window = qobject_cast<frmUpdate*>(QApplication::activeModalWidget());
            if (!window)
                return;
            modal = window->isModal();
            openedStatus = window->lblStatus->text();
            window->lblExit_Click();
        });
        emit update->clicked();
        QVERIFY(modal);
        QCOMPARE(openedStatus, QString("Press Retrieve to start download"));
        QCOMPARE(snapshot(), before);
    }
};

int main(int argc, char** argv)
{
    UpdateWindowTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatewindow.moc"
