// The main window's phonebook commands: the favourites panel (captions from
// phonebook.txt, the cap of 25, the port guard and what a click dials) and
// the question before the update window opens.
#include "DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "directory/FavouritesPanel.h"
#include "directory/frmUpdate.h"

namespace {

PhonebookRecord favourite(const QString& number, const QString& name, qint16 check = 1)
{
    return record(1, number, name, check);
}

QStringList indexCaptions()
{
    QStringList captions;
    for (int i = 0; i < 25; ++i)
        captions << " " + QString::number(i);
    return captions;
}

} // namespace

class FavouritesPanelTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void captionsAndTheirNumbers()
    {
        QCOMPARE(favouriteCaption(favourite("12345", "Meier")),
                 "  12345" + QString(12, ' ') + "Meier" + QString(35, ' '));
        // Ten characters or more: no gap.
        QCOMPARE(favouriteCaption(favourite("1234567890", "X")).mid(2, 13), QString("1234567890  X"));
        QCOMPARE(favouriteCaption(favourite("123456789012345", "X")).mid(2, 13), QString("123456789012X"));

        // Any Check but 0 is a favourite here; the order is the file's.
        QVector<PhonebookRecord> records = {favourite("1", "no", 0), favourite("200", "minus", -1),
                                            favourite("300", "two", 2)};
        for (int i = 0; i < 30; ++i)
            records << favourite(QString::number(1000 + i), "F" + QString::number(i));
        const QStringList captions = favouriteCaptions(records);
        QCOMPARE(captions.size(), 25);
        QVERIFY(captions[0].startsWith("  200 ") && captions[1].startsWith("  300 "));
        QCOMPARE(captions[24], favouriteCaption(records[25]));

        // Only the first 12 characters of a caption count: a twelve-digit
        // number loses its last two, and the name's digits never count.
        QCOMPARE(dialRequestFor(favouriteCaption(favourite("123456789012", "99 Luftballons"))).number,
                 QString("1234567890"));
        QCOMPARE(dialRequestFor(" 7").number, QString("7"));
    }

    void phonebookCommandsOfTheMainWindow()
    {
        TerminalRig rig(env, false);
        frmTerminal& terminal = rig.t();
        QWidget* frameNumbers = rig.control("frameNumbers");
        auto label = [&](int i) {
            return frameNumbers->findChild<CommandLabel*>(QStringLiteral("lblCallNumbers_%1").arg(i));
        };
        auto labels = [&] {
            QStringList captions;
            for (int i = 0; i < 25; ++i)
                captions << (label(i) ? label(i)->text() : QString("missing"));
            return captions;
        };

        // No phonebook yet: every label its own index.
        rig.click("lblPhonebookShow");
        QVERIFY(frameNumbers->isVisibleTo(&terminal));
        QCOMPARE(labels(), indexCaptions());

        // The file changes; the panel follows on refresh only.
        QVector<PhonebookRecord> records;
        for (int i = 0; i < 30; ++i)
            records << favourite(QString::number(20000 + i), "Name " + QString::number(i), i % 2);
        writeDirectory(env, records);
        QCOMPARE(labels(), indexCaptions());
        rig.click("lblRefresh");
        QStringList expected = indexCaptions();
        for (int i = 0; i < 15; ++i)
            expected[i] = favouriteCaption(records[2 * i + 1]);
        QCOMPARE(labels(), expected);
        QCOMPARE(rig.dialogs.asked.size(), 0);

        // Port closed: the guard, nothing dialled.
        QTest::mouseClick(label(0), Qt::LeftButton);
        QCOMPARE(rig.dialogs.texts(), QStringList{"Open Communication Port First ..... "});
        QCOMPARE(rig.dialogs.asked[0].buttons, Dialogs::Buttons::Ok);
        rig.click("lblOpen1");
        QCOMPARE(rig.box.waitForBytes(1, 2000), QByteArray("\r"));
        QTest::mouseClick(label(0), Qt::LeftButton);
        QCOMPARE(rig.received(8), QByteArray("\x01 020001"));
        QCOMPARE(rig.action(), "Dialing 20001     " + favouriteCaption(records[1]));
        QTest::mouseClick(label(20), Qt::LeftButton); // no favourite there: its index is dialled
        QCOMPARE(rig.received(4), QByteArray("\x01 20"));
        QCOMPARE(rig.dialogs.asked.size(), 1);

        rig.click("lblExitNumbers");
        QVERIFY(!frameNumbers->isVisibleTo(&terminal));

        // The update asks first; No leaves the files alone.
        const Snapshot before = snapshot(env);
        rig.dialogs.clear();
        rig.dialogs.answers = {Dialogs::Answer::No};
        rig.click("lblUpdate");
        QCOMPARE(rig.dialogs.texts(), QStringList{"This Option will retrieve the subscriber list directly from one the "
                                                  "pre-defined servers, Favorites and Rundsend will be saved "
                                                  "automaticaly. Please do not abuse to prevent Server issues!!"});
        const ScriptedDialogs::Asked question = rig.dialogs.asked[0];
        QCOMPARE(question.title, QString("Update Quillnet Phonebook"));
        QVERIFY(question.icon == Dialogs::Icon::Critical && question.buttons == Dialogs::Buttons::YesNo
                && question.defaultAnswer == Dialogs::Answer::No);
        QVERIFY(!terminal.findChild<frmUpdate*>());

        // Yes opens the window, modal and waiting for Retrieve.
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        QStringList opened;
        QTimer::singleShot(0, this, [&] {
            if (auto* window = qobject_cast<frmUpdate*>(QApplication::activeModalWidget())) {
                opened = {window->windowTitle(), window->lblStatus->text()};
                window->lblExit_Click();
            }
        });
        rig.click("lblUpdate");
        QCOMPARE(opened, QStringList({" Quillnet Phonebook Update Utility ", "Press Retrieve to start download"}));
        QCOMPARE(snapshot(env), before);
    }
};

VORNAK_TEST_MAIN(FavouritesPanelTest)

#include "tst_favouritespanel.moc"
