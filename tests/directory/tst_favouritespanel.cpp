// The main window's favourites panel: captions from phonebook.txt, the cap
// of 25, the port guard and what a click dials.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "PtyPair.h"
#include "app/SettingsStore.h"
#include "app/Widgets.h"
#include "app/terminal.h"
#include "directory/FavouritesPanel.h"
#include "directory/PhonebookFile.h"

#include <QApplication>
#include <QtTest>

namespace {

PhonebookRecord favourite(const QString& number, const QString& name, qint16 check = 1)
{
    PhonebookRecord record;
    record.setNumber(number);
    record.setName(name);
    record.Check = check;
    record.ChangeDate = "04.12.2026";
    return record;
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

    void writePhonebook(const QVector<PhonebookRecord>& records)
    {
        QString error;
        QVERIFY(writeDirectoryFiles(DirectoryFiles::in(ProgramFolder(env.folder())), records, &error));
    }

private slots:
    void init() { env.reset(); }

    void captionsAndTheirNumbers()
    {
        const QString caption = favouriteCaption(favourite("12345", "Meier"));
        QCOMPARE(caption, "  12345       " + QString(5, ' ') + "Meier" + QString(35, ' '));
        QCOMPARE(caption.size(), 2 + 12 + 5 + 40);
        // Ten characters or more: no gap.
        QCOMPARE(favouriteCaption(favourite("1234567890", "X")).mid(2, 13), QString("1234567890  X"));
        QCOMPARE(favouriteCaption(favourite("123456789012345", "X")).mid(2, 13), QString("123456789012X"));

        QCOMPARE(favouriteCaptions({}), indexCaptions());
        // Any Check but 0 is a favourite here; the order is the file's.
        QVector<PhonebookRecord> records = {favourite("1", "no", 0), favourite("200", "minus", -1),
                                            favourite("300", "two", 2)};
        for (int i = 0; i < 30; ++i)
            records << favourite(QString::number(1000 + i), "F" + QString::number(i));
        const QStringList captions = favouriteCaptions(records);
        QCOMPARE(captions.size(), 25);
        QVERIFY(captions[0].startsWith("  200 "));
        QVERIFY(captions[1].startsWith("  300 "));
        QVERIFY(captions[24].startsWith("  1022 "));
        QVERIFY(captions[24].contains("F22 "));

        const DialRequest dial = dialRequestFor(caption);
        QCOMPARE(dial.number, QString("12345"));
        QCOMPARE(dial.name, "    " + caption);
        // Only the first 12 characters count: the name's digits do not.
        QCOMPARE(dialRequestFor(favouriteCaption(favourite("0042", "99 Luftballons"))).number, QString("42"));
        QCOMPARE(dialRequestFor(" 7").number, QString("7"));
    }

    void panelInTheMainWindow()
    {
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});

        auto* show = terminal.findChild<CommandLabel*>("lblPhonebookShow");
        auto* refresh = terminal.findChild<CommandLabel*>("lblRefresh");
        auto* exit = terminal.findChild<CommandLabel*>("lblExitNumbers");
        QVERIFY(show && refresh && exit);
        QCOMPARE(show->text(), QString("Favorites"));
        QCOMPARE(show->toolTip(), QString("Invokes the Favorites List"));
        QCOMPARE(refresh->text(), QString("Refresh Lists"));
        auto labels = [&] {
            QStringList captions;
            for (int i = 0; i < 25; ++i) {
                auto* label = terminal.frameNumbers->findChild<CommandLabel*>(QStringLiteral("lblCallNumbers_%1").arg(i));
                captions << (label ? label->text() : QString("missing"));
            }
            return captions;
        };

        // No phonebook yet: every label its own index.
        emit show->clicked();
        QVERIFY(terminal.frameNumbers->isVisibleTo(&terminal));
        QCOMPARE(terminal.frameNumbers->pos(), QPoint(13455 / 15, 45 / 15));
        QCOMPARE(labels(), indexCaptions());
        QCOMPARE(dialogs.asked.size(), 0);

        // The file changes; the panel follows on refresh only.
        QVector<PhonebookRecord> records;
        for (int i = 0; i < 30; ++i)
            records << favourite(QString::number(20000 + i), "Name " + QString::number(i), i % 2 ? 1 : 0);
        writePhonebook(records);
        QCOMPARE(labels(), indexCaptions());
        emit refresh->clicked();
        QCOMPARE(labels()[0], favouriteCaption(records[1]));
        QCOMPARE(labels()[14], favouriteCaption(records[29]));
        QCOMPARE(labels()[15], QString(" 15"));

        // Other parts refresh through the main window.
        for (PhonebookRecord& record : records)
            record.Check = 1;
        writePhonebook(records);
        terminal.lblRefresh_Click();
        QCOMPARE(labels()[24], favouriteCaption(records[24]));

        emit exit->clicked();
        QVERIFY(!terminal.frameNumbers->isVisibleTo(&terminal));
    }

    void clickingDials()
    {
        writePhonebook({favourite("12345", "Meier"), favourite("777", "Zorn")});
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        PtyPair box;
        QVERIFY(box.open());
        settings.save("Ports", "Com1", box.slavePath());
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});

        QWidget frame;
        frame.setObjectName("frameNumbers");
        QList<QPair<QString, QString>> dialled;
        FavouritesPanel panel(terminal.context(), &frame,
                              [&](const QString& number, const QString& name) { dialled.append({number, name}); });
        panel.refresh();

        // Port closed: the guard, nothing dialled.
        QTest::mouseClick(panel.lblCallNumbers[0], Qt::LeftButton);
        QCOMPARE(dialled.size(), 0);
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.asked[0].text, QString("Open Communication Port First ..... "));
        QCOMPARE(dialogs.asked[0].buttons, Dialogs::Buttons::Ok);

        terminal.lblOpen1_Click();
        QVERIFY(terminal.link().isOpen());
        QTest::mouseClick(panel.lblCallNumbers[1], Qt::LeftButton);
        panel.lblCallNumbers_Click(2); // no favourite there: its index is dialled
        QCOMPARE(dialled.size(), 2);
        QCOMPARE(dialled[0].first, QString("777"));
        QCOMPARE(dialled[0].second, "    " + favouriteCaption(favourite("777", "Zorn")));
        QCOMPARE(dialled[1], qMakePair(QString("2"), QString("     2")));
        QCOMPARE(dialogs.asked.size(), 1);
    }
};

int main(int argc, char** argv)
{
    FavouritesPanelTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_favouritespanel.moc"
