// The list files without any window: the receiver file RSend.txt, the
// broadcast header table, the check bookkeeping of the list windows, and
// saving the marks into phonebook.txt.
#include "ListFixtures.h"

#include "core/ProgramFolder.h"
#include "lists/HeaderTable.h"
#include "lists/MarkSaving.h"
#include "lists/MarkTable.h"
#include "lists/ReceiverFile.h"

#include <QDir>

namespace {

QString spaces(int n) { return QString(n, ' '); }

QStringList folderEntries(const TestEnvironment& env)
{
    return QDir(env.folder()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

class ListFilesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    ProgramFolder folder() const { return ProgramFolder(env.folder()); }

private slots:
    void init() { env.reset(); }

    void headerTable()
    {
        // A name cut at its comma is still cut to ten characters (the other
        // cuts show in the table below and in the header window).
        QCOMPARE(header::tableName("Mustermannsdorf, Karl"), QString("Mustermann"));

        // Four receivers: three on the first line, the fourth alone; the
        // subscriber without the mark is left out.
        const QVector<PhonebookRecord> records = {
            subscriber("12345", "Meier, Hans", 0, 1), subscriber("678", "Schmidt", 1, 0),
            subscriber("4711", "Bauunternehmung Gross", 0, 1), subscriber("99", "Zoo", 0, 1),
            subscriber("123456", "Xaver", 0, 1), subscriber("5", "Two is no mark", 0, 2)};
        const QStringList lines = header::tableLines(records);
        QCOMPARE(lines, QStringList({"01   12345 Meier" + spaces(7) + "02   4711 Bauunterne" + spaces(3) + "03"
                                         + spaces(6) + "99 Zoo" + spaces(8),
                                     "04  123456 Xaver" + spaces(52)}));
        QCOMPARE(header::fileText(lines),
                 QString("01   12345 Meier       02   4711 Bauunterne   03      99 Zoo\r\n04  123456 Xaver\r\n \r\n"));

        QCOMPARE(header::previewLines("12345 vornak d", lines),
                 QStringList({" --- Rundsenden von: 12345 vornak d", " --- in alphabetische reihenfolge an:", " ",
                              "1234567890123456789012345678901234567890123456789012345678901234567890", " "})
                     + lines + QStringList({" ", " ----- Ende Rundsenden Teilnehmerliste ----- ", " "}));

        // Nobody marked: the file is the single blank line, the preview the
        // head and end lines.
        QCOMPARE(header::tableLines({subscriber("1", "A")}), QStringList());
        QCOMPARE(header::fileText({}), QString(" \r\n"));
        QCOMPARE(header::previewLines("x", {}).size(), 8);

        // A seven-digit number in the second entry ends in its column and
        // touches the counter; an eight-digit one moves right instead of
        // covering it, and the name is cut to stay in its entry.
        QString line(68, ' ');
        header::placeEntry(line, 1, 2, "1234567", "Name");
        QCOMPARE(line.mid(23, 15), QString("021234567 Name "));
        line.fill(' ');
        header::placeEntry(line, 1, 2, "12345678", "Longername");
        QCOMPARE(line.mid(21, 24), "  0212345678 Longernam" + spaces(2));

        // Past 99 receivers three digits end where two would: the first entry
        // has no room on its left, so its counter starts in column 1; a blank
        // always stays between counter and number.
        QVector<PhonebookRecord> many;
        for (int n = 1; n <= 102; ++n)
            many << subscriber(QString::number(10000 + n), QStringLiteral("N%1").arg(n, 3, 10, QChar('0')), 0, 1);
        const QStringList long102 = header::tableLines(many);
        QCOMPARE(long102.size(), 34);
        QCOMPARE(long102[33], "100  10100 N100" + spaces(7) + "101  10101 N101" + spaces(8) + "102   10102 N102"
                                  + spaces(7));
        // A long number keeps its blank after a long counter and pushes the
        // name, which still ends in its entry.
        line.fill(' ');
        header::placeEntry(line, 0, 100, "1234567", "Longername");
        QCOMPARE(line.left(23), "100 1234567 Longernam" + spaces(2));
    }

    void checkBookkeeping()
    {
        // Only 1 is a mark: a 2 is neither checked nor an unsaved change. A
        // row checked twice counts once. (How the receiver list's columns
        // follow the checks shows in its window.)
        MarkTable receivers(ListDesign::receivers());
        receivers.load({subscriber("1", "Anna", 0, 1), subscriber("2", "Bert", 0, 2), subscriber("3", "Carl")});
        QCOMPARE(receivers.checkState(), QVector<qint16>({1, 0, 0}));
        QVERIFY(!receivers.hasUnsavedChanges());
        receivers.setChecked(2, true);
        receivers.setChecked(2, true);
        receivers.setChecked(0, false);
        QCOMPARE(receivers.checkState(), QVector<qint16>({0, 0, 1}));
        QCOMPARE(receivers.checkedCount(), 1);

        // In the favourites only "Chk Fav" follows the check; "RsGr1" stays
        // as read.
        PhonebookRecord carl = subscriber("3", "Carl", 1, 0);
        carl.RsGr1 = 1;
        MarkTable favourites(ListDesign::favourites());
        favourites.load({carl});
        favourites.setChecked(0, false);
        QCOMPARE(favourites.text(0, ColChkFav) + favourites.text(0, ColRsGr1), QString("01"));

        // By name, case folded first; equal names stay in file order.
        MarkTable names(ListDesign::favourites());
        names.load({subscriber("1", "Meier"), subscriber("2", "anna"), subscriber("3", "Meier"),
                    subscriber("4", "Anna"), subscriber("5", "Zed")});
        QCOMPARE(names.nameOrder(), QVector<int>({3, 1, 0, 2, 4}));

        // A saved record: ID is the position, held within 16 bits; a position
        // the check state does not cover keeps its mark.
        const PhonebookRecord saved = savedRecord(subscriber("1", "Anna", 0, 1), 40000, ListMark::Receiver, {0});
        QCOMPARE(saved.ID, qint16(32767));
        QCOMPARE(saved.RsGr2, qint16(1));
    }

    void savingRewritesEveryRecord()
    {
        PhonebookRecord first = subscriber("1234", "Alpha", 1, 0);
        first.RsGr1 = 1;
        first.RsGr3 = 3;
        first.RsGr4 = -4;
        first.SubsNr = 17;
        const QVector<PhonebookRecord> records = {first, subscriber("00421", "Beta", 0, 1),
                                                  subscriber("56789", "Gamma", 1, 0), subscriber("x", "Delta", 0, 0)};
        QByteArray bytes = phonebookBytes(records);
        bytes[124 + 120] = 'p';     // padding of slot 2
        bytes += QByteArray("tail"); // bytes behind the last slot
        env.writeFile("\\phonebook.txt", bytes);

        // The receiver list: RsGr2 from the checks, everything else as read.
        QString error;
        QVERIFY2(saveMarks(folder(), ListMark::Receiver, {1, 0, 1, 0}, records, &error), qPrintable(error));
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("1234,\r\n56789,\r\n56789+\r\n"));
        const QVector<PhonebookRecord> after = phonebookRecords(env);
        for (int i = 0; i < 4; ++i) {
            PhonebookRecord expected = records[i];
            expected.ID = qint16(i);
            expected.RsGr2 = qint16(i == 0 || i == 2 ? 1 : 0);
            QCOMPARE(after[i], expected);
        }
        const QByteArray rewritten = env.readFile("\\phonebook.txt");
        QCOMPARE(rewritten.size(), bytes.size());
        QCOMPARE(rewritten[124 + 120], 'p');
        QVERIFY(rewritten.endsWith("tail"));

        // The favourites: Check from the checks, RsGr2 as the last save left
        // it, and the receiver file untouched.
        QVERIFY2(saveMarks(folder(), ListMark::Favourite, {0, 1, 0, 1}, records, &error), qPrintable(error));
        QCOMPARE(savedMarks(env), QStringList({"0 011", "1 100", "2 001", "3 100"}));
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("1234,\r\n56789,\r\n56789+\r\n"));

        // Nobody checked; a number with leading zeros loses them.
        QVERIFY(saveMarks(folder(), ListMark::Receiver, {0, 0, 0, 0}, records, &error));
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("0+\r\n"));
        QVERIFY(saveMarks(folder(), ListMark::Receiver, {0, 1, 0, 0}, records, &error));
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("421,\r\n421+\r\n"));
        QVERIFY(!folderEntries(env).join(' ').contains(".phonebook.txt."));

        // The number a receiver line is made of, from the stored field.
        const std::pair<QString, QString> numbers[] = {{"00421       ", "421"}, {"  56789     ", "56789"},
            {"12 34", "12"}, {"x4711", "0"}, {"000", "0"}, {"", "0"}};
        for (const auto& [stored, number] : numbers)
            QCOMPARE(receiverNumber(stored), number);
    }

    void failuresChangeNothing()
    {
        const QVector<PhonebookRecord> records = {subscriber("1234", "Alpha", 0, 1), subscriber("56789", "Beta")};
        writePhonebook(env, records);
        env.writeFile("\\RSend.txt", "1234,\r\n1234+\r\n");
        const QByteArray phonebookBefore = env.readFile("\\phonebook.txt");
        const QStringList entriesBefore = folderEntries(env);
        QString error;

        // A file that changed behind the window's back.
        writePhonebook(env, records + QVector<PhonebookRecord>{subscriber("9", "Late")});
        const QByteArray grown = env.readFile("\\phonebook.txt");
        QVERIFY(!saveMarks(folder(), ListMark::Receiver, {0, 1}, records, &error));
        QVERIFY2(error.contains("phonebook.txt") && error.contains("changed"), qPrintable(error));
        QCOMPARE(env.readFile("\\phonebook.txt"), grown);
        env.writeFile("\\phonebook.txt", phonebookBefore);

        {
            // A read-only receiver file: neither file is replaced.
            ReadOnlyFile readOnly(env.file("\\RSend.txt"));
            if (!readOnly.effective())
                QSKIP("this file system cannot make a file read-only");
            error.clear();
            QVERIFY(!saveMarks(folder(), ListMark::Receiver, {0, 1}, records, &error));
            QVERIFY2(error.contains("RSend.txt"), qPrintable(error));
            QCOMPARE(env.readFile("\\phonebook.txt"), phonebookBefore);
            QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("1234,\r\n1234+\r\n"));
        }
        {
            ReadOnlyFile readOnly(env.file("\\phonebook.txt"));
            error.clear();
            QVERIFY(!saveMarks(folder(), ListMark::Favourite, {1, 1}, records, &error));
            QVERIFY2(error.contains("phonebook.txt"), qPrintable(error));
            QCOMPARE(env.readFile("\\phonebook.txt"), phonebookBefore);
        }
        QCOMPARE(folderEntries(env), entriesBefore);

        // An unreadable phonebook (here a folder of that name).
        QFile::remove(env.file("\\phonebook.txt"));
        QVERIFY(QDir().mkdir(env.file("\\phonebook.txt")));
        error.clear();
        QVERIFY(!saveMarks(folder(), ListMark::Receiver, {0, 1}, records, &error));
        QVERIFY2(error.contains("phonebook.txt") && error.contains("cannot be read"), qPrintable(error));
        QCOMPARE(env.readFile("\\RSend.txt"), QByteArray("1234,\r\n1234+\r\n"));
    }
};

QTEST_GUILESS_MAIN(ListFilesTest)
#include "tst_listfiles.moc"
