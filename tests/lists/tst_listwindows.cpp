// The favourites window, the broadcast receiver window and the broadcast
// header, on a stand-in main window: loading, checking, the row fields,
// saving, calling, the header preview and file, and the way from the
// receivers over the header to the editor.
#include "support/TestMain.h"
#include "ListFixtures.h"
#include "support/TestHost.h"

#include "core/ListColumns.h"
#include "link/Guards.h"
#include "lists/HeaderTable.h"
#include "lists/SubscriberLists.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"

#include <QDir>
#include <QRandomGenerator>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

namespace {

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QString cell(const QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column).data().toString();
}

bool isChecked(const QAbstractItemModel* model, int row)
{
    return model->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
}

void setChecked(QAbstractItemModel* model, int row, bool checked)
{
    model->setData(model->index(row, 0), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

// Each row as its ID, "[x]" or "[ ]", and the columns given (by default
// "number name ChkFav RsGr1 ChkGr1"), without their padding.
QStringList rows(const QAbstractItemModel* model,
                 const QList<int>& columns = {ColNumber, ColName, ColChkFav, ColRsGr1, ColChkGr1})
{
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList fields = {cell(model, row, ColId), isChecked(model, row) ? "[x]" : "[ ]"};
        for (int column : columns)
            fields << cell(model, row, column).trimmed();
        shown << fields.join(' ');
    }
    return shown;
}

// The row showing a number, or -1.
int rowOfNumber(const QAbstractItemModel* model, const QString& number)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (cell(model, row, ColNumber).trimmed() == number)
            return row;
    }
    return -1;
}

void clickRow(QTreeView* view, int row)
{
    const QRect rect = view->visualRect(view->model()->index(row, ColName));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

// The colour the list paints in the empty right part of a row's cell.
QColor rowColour(QTreeView* view, int row)
{
    const QRect rect = view->visualRect(view->model()->index(row, ColRsGr4));
    return view->viewport()->grab().toImage().pixelColor(rect.right() - 3, rect.center().y());
}

// Acts on the modal window `name` as soon as it shows (its exec() runs the
// event loop). A window the step left open is closed, so a failing step
// cannot hang the test.
void onModal(const QString& name, std::function<void(QDialog*)> step)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, name, step] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || modal->objectName() != name || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        step(modal);
        if (modal->isVisible()) {
            qWarning("%s was left open", qPrintable(name));
            modal->done(QDialog::Rejected);
        }
    });
    poll->start();
}

const QString kNoSelection = QStringLiteral("No selection was made ....");
const QString kPortFirst = QStringLiteral("Open Communication Port First ..... ");

} // namespace

class ListWindowsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Call {
        QString number;
        QString name;
        bool operator==(const Call&) const = default;
    };

private slots:
    void init() { env.reset(); }

    void receiverWindowChecksAndSaves()
    {
        PhonebookRecord meier = subscriber("300", "Meier", 0, 1);
        meier.RsGr1 = 1;
        // The file out of name order: the list is sorted, the rows stay
        // their records.
        writePhonebook(env, {subscriber("00400", "Zander", 0, 1), subscriber("100", "abel", 1, 0), meier,
                             subscriber("200", "Meier", 0, 0)});
        TestHost host(env);
        frmCirculair window(host.appState, host.scripted, &host);
        window.show();
        QCOMPARE(QStringList({window.windowTitle(), window.lblHeading->text(), window.lblSave->text()}),
                 QStringList({" Quillnet Rundsenden List ", "Quillnet Rundenden Receivers", "Save Receivers List"}));
        QAbstractItemModel* model = window.lvwStat->model();
        QStringList titles;
        for (int column = 0; column < MarkColumnCount; ++column)
            titles << model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"ID", "Number", "Name", "Chk Fav", "RsGr1", "Chk Gr1", "RsGr3", "RsGr4", "RsGr5",
                                      "Change Date"}));
        QCOMPARE(rows(model), QStringList({"2 [ ] 100 abel 1 0 0", "3 [x] 300 Meier 0 1 1", "4 [ ] 200 Meier 0 0 0",
                                           "1 [x] 00400 Zander 0 0 1"}));
        QCOMPARE(cell(model, 1, ColNumber), QString("300         ")); // as stored
        QVERIFY(!window.lblSave->isEnabled() && window.txtID->text() == "ID");

        // A click shows the row's fields.
        clickRow(window.lvwStat, 1);
        QStringList shown;
        for (QLineEdit* field : {window.txtID, window.txtNumber, window.txtName, window.txtChk, window.txtRsGr1,
                                 window.txtRsGr2, window.txtRsGr5, window.txtAction})
            shown << field->text();
        QCOMPARE(shown, QStringList({"3", "300         ", "Meier" + QString(35, ' '), "0", "1", "1", "0",
                                     "04.12.2026"}));

        // Checked rows are light orange, the others white.
        QCOMPARE(rowColour(window.lvwStat, 3), QColor(255, 207, 128));
        QCOMPARE(rowColour(window.lvwStat, 2), QColor(Qt::white));

        // The space bar checks abel; "RsGr1" and "Chk Gr1" of every row now
        // show the row's check, "Chk Fav" still the record.
        window.lvwStat->setCurrentIndex(model->index(0, 0));
        QTest::keyClick(window.lvwStat, Qt::Key_Space);
        QVERIFY(window.lblSave->isEnabled());
        window.lvwStat->selectionModel()->clear();
        QCOMPARE(rowColour(window.lvwStat, 0), QColor(255, 207, 128));
        setChecked(model, 1, false);
        QCOMPARE(rows(model), QStringList({"2 [x] 100 abel 1 1 1", "3 [ ] 300 Meier 0 0 0", "4 [ ] 200 Meier 0 0 0",
                                           "1 [x] 00400 Zander 0 1 1"}));
        QCOMPARE(host.appState.CheckState, QVector<qint16>({1, 1, 0, 0}));
        QCOMPARE(rowColour(window.lvwStat, 1), QColor(Qt::white));

        window.lblSave_Click();
        QVERIFY(window.result() == QDialog::Accepted && !window.isVisible());
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("400,\r\n100,\r\n100+\r\n"));
        QCOMPARE(itemsOf(window.lstRSend), QStringList({"Rundsenden to:", " ", "400,", "100,", "100+"}));
        // IDs from 0, RsGr2 from the checks; RsGr1 stays what the file held
        // though its column showed the check. Opened again: the saved receivers.
        QCOMPARE(savedMarks(env), QStringList({"0 001", "1 101", "2 010", "3 000"}));
        frmCirculair again(host.appState, host.scripted, &host);
        QCOMPARE(rows(again.lvwStat->model()), QStringList({"1 [x] 100 abel 1 0 1", "2 [ ] 300 Meier 0 1 0",
                                                            "3 [ ] 200 Meier 0 0 0", "0 [x] 00400 Zander 0 0 1"}));
    }

    void rowsKeepTheirOwnRecords()
    {
        // 5,000 subscribers under 400 names, so equal names abound: each
        // changed check box marks the record of its own row, and every mark
        // survives the save and the reopening.
        QVector<PhonebookRecord> many;
        for (int i = 0; i < 5000; ++i)
            many << subscriber(QString::number(200000 + i), QStringLiteral("Name %1").arg((i * 7919) % 400), 0,
                               qint16(i % 3 == 0));
        writePhonebook(env, many);
        TestHost host(env);
        QVector<qint16> expected(5000);
        for (int i = 0; i < 5000; ++i)
            expected[i] = qint16(i % 3 == 0);
        {
            frmCirculair window(host.appState, host.scripted, &host);
            QAbstractItemModel* model = window.lvwStat->model();
            for (int row = 0; row < 5000; row += 11) {
                const int i = cell(model, row, ColNumber).trimmed().toInt() - 200000;
                expected[i] = qint16(!expected[i]);
                setChecked(model, row, !isChecked(model, row));
            }
            window.lblSave_Click();
        }
        QVector<qint16> saved;
        for (const PhonebookRecord& record : phonebookRecords(env))
            saved << record.RsGr2;
        QCOMPARE(saved, expected);
        frmCirculair reopened(host.appState, host.scripted, &host);
        QCOMPARE(host.appState.CheckState, expected);
    }

    void favouritesWindowCallsAndSaves()
    {
        QVector<PhonebookRecord> records = {subscriber("1234", "Alpha", 0, 1), subscriber("56789", "Beta, Bert", 1, 0)};
        for (int i = 0; i < 30; ++i)
            records << subscriber(QString::number(7000 + i), QStringLiteral("F%1").arg(i, 2, 10, QChar('0')));
        writePhonebook(env, records);
        TestHost host(env);
        QList<Call> calls;
        int refreshes = 0;
        frmPresets window(
            host.appState, host.scripted, [&](const QString& nr, const QString& nm) { calls.append({nr, nm}); },
            [&] { return portGuard(host, true); },
            [&] { ++refreshes; }, &host);
        window.show();
        QCOMPARE(window.windowTitle(), QString(" Quillnet Phonebook "));
        QVERIFY(window.lblHelp->text().endsWith(QDir::toNativeSeparators(env.file("\\phonebook.txt"))
                                                + " to be used with the Quillnet USB / RS232 interface"));
        QCOMPARE(window.cmdSort->text(), QString("Sorting"));
        QAbstractItemModel* model = window.lvwStat->model();
        QVERIFY(isChecked(model, rowOfNumber(model, "56789")) && !isChecked(model, rowOfNumber(model, "1234")));

        // Call before any row was clicked, even with the port closed.
        window.lblCalling_Click();
        QCOMPARE(host.scripted.events, QStringList({kNoSelection}));
        clickRow(window.lvwStat, rowOfNumber(model, "56789"));
        host.scripted.clear();
        window.lblCalling_Click();
        QCOMPARE(host.scripted.events, QStringList({"beep", kPortFirst}));

        // Every other subscriber becomes a favourite; the broadcast marks stay.
        for (int row = 0; row < model->rowCount(); ++row)
            setChecked(model, row, cell(model, row, ColName).startsWith('F'));
        window.lblSave_Click();
        QVERIFY(window.isVisible() && !window.lblSave->isEnabled());
        QCOMPARE(refreshes, 1);
        const QVector<PhonebookRecord> saved = phonebookRecords(env);
        QCOMPARE(std::count_if(saved.begin(), saved.end(), [](const auto& r) { return r.Check == 1; }), 30);
        // The reloaded list shows the new IDs; the main window's panel takes the first 25.
        QCOMPARE(cell(model, rowOfNumber(model, "1234"), ColId), QString("0"));

        // With the port open the shown subscriber is called and the window
        // closes; marks changed meanwhile are dropped only if the user agrees.
        QString error;
        QVERIFY2(host.link().open(&error), qPrintable(error));
        setChecked(model, rowOfNumber(model, "1234"), true);
        clickRow(window.lvwStat, rowOfNumber(model, "56789"));
        host.scripted.clear();
        window.lblCalling_Click();
        QVERIFY(calls.isEmpty() && window.isVisible() && host.scripted.asked.size() == 1);
        QCOMPARE(host.scripted.asked[0].text,
                 QString("The changed marks are not saved yet.\nClose the window, call and drop them?"));
        host.scripted.answers = {Dialogs::Answer::Yes};
        window.lblCalling_Click();
        QCOMPARE(calls, QList<Call>({{"56789", "Beta, Bert"}}));
        QCOMPARE(phonebookRecords(env), saved);
        QVERIFY(window.result() == QDialog::Accepted && !window.isVisible());
    }

    void unsavedMarksNeedConsent()
    {
        writePhonebook(env, {subscriber("1", "A"), subscriber("2", "B")});
        TestHost host(env);
        frmPresets window(host.appState, host.scripted, {}, {}, {}, &host);
        window.show();
        QAbstractItemModel* model = window.lvwStat->model();
        // Nothing changed: Preview and Exit ask nothing.
        window.lblPreview_Click();
        QVERIFY(host.scripted.asked.isEmpty());

        // Preview and Escape (as Exit) both ask; No is the default answer.
        setChecked(model, 0, true);
        window.lblPreview_Click();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(isChecked(model, 0) && window.isVisible());
        QCOMPARE(host.scripted.asked.size(), 2);
        QCOMPARE(host.scripted.asked[0].buttons, Dialogs::Buttons::YesNo);

        host.scripted.answers = {Dialogs::Answer::Yes};
        window.lblPreview_Click();
        QVERIFY(!isChecked(model, 0) && !window.lblSave->isEnabled());
        // Checked and unchecked again: nothing to lose.
        setChecked(model, 1, true);
        setChecked(model, 1, false);
        host.scripted.clear();
        window.lblExit_Click();
        QVERIFY(host.scripted.asked.isEmpty() && !window.isVisible());
    }

    void failuresKeepFilesAndMarks()
    {
        writePhonebook(env, {subscriber("1", "A", 0, 1), subscriber("2", "B")});
        env.writeFile("\\RSend.txt", "1,\r\n1+\r\n");
        TestHost host(env);
        frmCirculair window(host.appState, host.scripted, &host);
        window.show();
        QAbstractItemModel* model = window.lvwStat->model();
        setChecked(model, 1, true);
        {
            ReadOnlyFile readOnly(env.file("\\RSend.txt"));
            if (!readOnly.effective())
                QSKIP("this file system cannot make a file read-only");
            window.lblSave_Click();
        }
        QCOMPARE(host.scripted.asked.size(), 1);
        QVERIFY2(host.scripted.asked[0].text.contains("RSend.txt"), qPrintable(host.scripted.asked[0].text));
        QCOMPARE(host.scripted.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(window.isVisible() && isChecked(model, 1) && window.lblSave->isEnabled());
        QVERIFY(window.lblStatus->text().contains("RSend.txt"));

        // Writable again: the same marks save.
        window.lblSave_Click();
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("1,\r\n2,\r\n2+\r\n"));

        // An unreadable phonebook: said once, naming the file; an empty list,
        // and the header file untouched.
        env.writeFile("\\RSHeader.txt", "earlier\r\n");
        QFile::remove(env.file("\\phonebook.txt"));
        QDir().mkdir(env.file("\\phonebook.txt"));
        host.scripted.clear();
        frmPresets unreadable(host.appState, host.scripted, {}, {}, {}, &host);
        frmHeader header(host.appState, host.scripted, {}, &host);
        QCOMPARE(host.scripted.asked.size(), 2);
        for (const auto& asked : host.scripted.asked)
            QVERIFY(asked.text.contains(QDir::toNativeSeparators(env.file("\\phonebook.txt"))));
        QVERIFY(unreadable.lvwStat->model()->rowCount() == 0 && !unreadable.lblSave->isEnabled());
        QCOMPARE(env.readFile("\\RSHeader.txt"), QByteArray("earlier\r\n"));
    }

    void widestTextIsTheWidestMeasured()
    {
        // The column fit ranks texts by their characters and measures few of
        // them; it must still find the text that measures widest: narrow
        // letters against wide ones, padding blanks, accents, and characters
        // beyond Latin-1 that another font draws.
        const QStringList letters = {"i", "l", "W", "M", " ", "\u00e9", "\u00c6", "1", "\u4e2d", "\u0416"};
        QRandomGenerator random(7);
        for (const QFont& font : {QFont("Sans", 9), QFont("Monospace", 11), QFont("Serif", 14)}) {
            for (int round = 0; round < 20; ++round) {
                QStringList texts;
                for (int n = 0; n < (round < 10 ? 300 : 30); ++n) {
                    QString text;
                    for (int length = random.bounded(1, 30); length > 0; --length)
                        text += letters[random.bounded(round % 2 ? 8 : letters.size())];
                    texts << text.leftJustified(30);
                }
                const QFontMetrics metrics(font);
                int brute = 0;
                for (const QString& text : texts)
                    brute = std::max(brute, metrics.horizontalAdvance(text));
                // Never narrower than the widest text, at most a little wider.
                const WidestText widest = widestText(font, int(texts.size()), [&](int i) { return texts[i]; });
                QVERIFY2(widest.width >= brute && widest.width <= brute * 1.05 + 3,
                         qPrintable(QStringLiteral("%1 against %2").arg(widest.width).arg(brute)));
                QVERIFY(metrics.horizontalAdvance(texts[widest.index]) * 1.05 + 3 >= brute);
            }
        }
        QCOMPARE(widestText(QFont(), 0, [](int) { return QString(); }).index, -1);
    }

    void headerWindowBuildsTheTable()
    {
        writePhonebook(env, {subscriber("12345", "Meier, Hans", 0, 1), subscriber("678", "Adam"),
                             subscriber("4711", "Bauunternehmung Gross", 0, 1), subscriber("99", "Zoo", 0, 1),
                             subscriber("123456", "Xaver", 0, 1)});
        TestHost host(env);
        host.appState.ConfigLines = QStringList({"0", "dd/mm/yyyy", "12345 vornak d"});
        frmHeader window(host.appState, host.scripted, {}, &host);
        window.show();
        QCOMPARE(window.cmdHeader->text(), QString("Elaborate")); // its title is checked with the others at start-up
        // The preview and the file are the table of the marked records.
        const QStringList table = header::tableLines(phonebookRecords(env));
        QCOMPARE(table.size(), 2);
        QCOMPARE(itemsOf(window.lstRSend), header::previewLines("12345 vornak d", table));
        QCOMPARE(QString::fromLatin1(env.readFile("\\RSHeader.txt")), header::fileText(table));

        // One row per record: the receivers by name and checked, the others
        // after them without number or name.
        QAbstractItemModel* model = window.lvwHeader->model();
        QVERIFY(model->columnCount() == 5);
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString() + model->headerData(4, Qt::Horizontal).toString(),
                 QString("NumeroNome"));
        QCOMPARE(rows(model, {1, 2, 4}), QStringList({"3 [x] 4711 Bauunternehmung Gross Bauunterne",
                                                       "1 [x] 12345 Meier, Hans Meier", "5 [x] 123456 Xaver Xaver",
                                                       "4 [x] 99 Zoo Zoo", "2 [ ]   "}));

        // Marks changed meanwhile: Elaborate builds again.
        writePhonebook(env, {subscriber("555", "Solo", 0, 1)});
        QVERIFY(window.cmdHeader_Click());
        QCOMPARE(env.readFile("\\RSHeader.txt"), QByteArray("01     555 Solo\r\n \r\n"));

        // Exit closes the window (the receiver file it opens in the editor
        // shows on the way from the receivers).
        window.lblExit_Click();
        QVERIFY(!window.isVisible());

        // A read-only header file keeps its bytes, said once; the preview
        // still shows the new table.
        writePhonebook(env, {subscriber("1", "A", 0, 1)});
        {
            ReadOnlyFile readOnly(env.file("\\RSHeader.txt"));
            if (!readOnly.effective())
                QSKIP("this file system cannot make a file read-only");
            QVERIFY(!window.cmdHeader_Click());
        }
        QCOMPARE(host.scripted.texts().join(' ').count("RSHeader.txt"), 1);
        QCOMPARE(itemsOf(window.lstRSend).value(5).left(12), QString("01       1 A"));
        QCOMPARE(env.readFile("\\RSHeader.txt"), QByteArray("01     555 Solo\r\n \r\n"));
    }

    void fromReceiversOverHeaderToEditor()
    {
        writePhonebook(env, {subscriber("1234", "Alpha"), subscriber("56789", "Beta")});
        TestHost host(env, true);
        QList<Call> calls;
        QStringList edited;
        int refreshes = 0;
        SubscriberLists lists(
            host, [&](const QString& nr, const QString& nm) { calls.append({nr, nm}); }, [&] { ++refreshes; },
            [&](const QString& file, int mode) { edited << file + " " + QString::number(mode); });
        QCOMPARE(host.commandNames("Phonebook"), QStringList({"lblPreset"}));
        QCOMPARE(host.commandNames("Broadcast"), QStringList({"lblRSendList", "lblHeader"}));
        QCOMPARE(host.command("lblPreset")->toolTip(), QString("Shows Quillnet Phonebook"));
        QCOMPARE(host.command("lblRSendList")->toolTip(), QString("Rundsenden Subscribers List"));
        QCOMPARE(host.command("lblHeader")->text() + " / " + host.command("lblHeader")->toolTip(),
                 QString("Set RS List / Display and sets, saves the RS list"));

        QStringList seen;
        onModal("frmCirculair", [&](QDialog* window) {
            auto* list = window->findChild<QTreeView*>("lvwStat");
            setChecked(list->model(), 0, true);
            setChecked(list->model(), 1, true);
            QTest::mouseClick(window->findChild<CommandLabel*>("lblSave"), Qt::LeftButton);
            onModal("frmHeader", [&](QDialog* header) {
                seen << itemsOf(header->findChild<QListWidget*>("lstRSend")).at(5).trimmed();
                QTest::mouseClick(header->findChild<CommandLabel*>("lblExit"), Qt::LeftButton);
            });
        });
        host.click("lblRSendList");
        QCOMPARE(seen, QStringList({"01    1234 Alpha       02  56789 Beta"}));
        QCOMPARE(edited, QStringList({env.file("\\RSend.txt") + " 0"}));

        // "Set RS List" opens the header alone.
        onModal("frmHeader", [&](QDialog* header) { QTest::mouseClick(header->findChild<CommandLabel*>("lblExit"), Qt::LeftButton); });
        host.click("lblHeader");
        QCOMPARE(edited.size(), 2);

        // Leaving the receiver window without saving: no header.
        onModal("frmCirculair", [&](QDialog* window) { QTest::mouseClick(window->findChild<CommandLabel*>("lblExit"), Qt::LeftButton); });
        host.click("lblRSendList");
        QCOMPARE(edited.size(), 2);

        // The favourites window calls through the dialler.
        onModal("frmPresets", [&](QDialog* window) {
            auto* list = window->findChild<QTreeView*>("lvwStat");
            clickRow(list, 1);
            QTest::mouseClick(window->findChild<CommandLabel*>("lblCalling"), Qt::LeftButton);
        });
        host.click("lblPreset");
        QCOMPARE(calls, QList<Call>({{"56789", "Beta"}}));
        QCOMPARE(refreshes, 0);
    }
};

VORNAK_TEST_MAIN(ListWindowsTest)

#include "tst_listwindows.moc"
