// A directory server that resets the connection after K entries (none, five
// hundred): the update window says why the download stopped, shows the
// entries it got, keeps every file of the folder as it was and gives back
// the commands that are safe; a new update window then downloads in full.
#include "directory/DirectoryFixtures.h"
#include "faults/FolderFaults.h"
#include "support/ScriptedDialogs.h"
#include "support/TestMain.h"

#include "directory/frmUpdate.h"
#include "core/Widgets.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

class DirectoryResetTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void resetAfterEntries_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("message");
        // With nothing received the packet buffer still holds the search
        // request, so its type byte is the request's.
        QTest::newRow("0") << 0 << "Invalid code or lenght: 0xA / 0";
        QTest::newRow("500") << 500 << "Invalid code or lenght: 0x5 / 0";
    }

    void resetAfterEntries()
    {
        QFETCH(int, entries);
        QFETCH(QString, message);
        writeDirectory(env, {record(1, "100000", "Old", 1, 1), record(2, "77", "Old", 0, 1)});
        const FolderBytes before = folderBytes(env.folder());

        AppState state = env.makeState();
        state.DirectoryServer = "127.0.0.1";
        ScriptedDialogs dialogs;
        {
            DirServerProcess server({"--generate", "600", "--fault", "reset", "--after", QString::number(entries)});
            QVERIFY(server.port() != 0);
            frmUpdate window(state, dialogs, DirectoryOptions{server.port(), {3000, 3000}, 0});
            window.show();
            window.lblRetrieve_Click();

            QCOMPARE(dialogs.texts(), QStringList{message});
            QCOMPARE(window.lvwStat->topLevelItemCount(), entries);
            QCOMPARE(window.statusColor(), QColor(255, 0, 0));
            QCOMPARE(folderBytes(env.folder()), before);
            // The commands that cannot lose anything are back; the window
            // closes.
            QVERIFY(window.cmdLoad->isEnabled() && window.cmdSort->isEnabled() && window.cmdNewPhonebook->isEnabled()
                    && window.lvwStat->header()->sectionsClickable());
            window.close();
            QVERIFY(!window.isVisible());
        }

        // A healthy server: the next update goes through (how it merges the
        // old marks is the update window's own test).
        DirServerProcess healthy({"--generate", "600"});
        dialogs.clear();
        frmUpdate again(state, dialogs, DirectoryOptions{healthy.port(), {3000, 3000}, 0});
        again.show();
        again.lblRetrieve_Click();
        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(again.lvwStat->topLevelItemCount(), 600);
        QCOMPARE(readPhonebook(env.file("\\phonebook.txt")).records.size(), 600);
    }
};

VORNAK_TEST_MAIN(DirectoryResetTest)

#include "tst_directoryreset.moc"
