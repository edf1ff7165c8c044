// The headline editor: the field texts and the two files, and the panel on
// the terminal window.
#include "support/ReadOnlyFolder.h"
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "core/DateText.h"
#include "prepared/HeadlineEditor.h"
#include "prepared/Headlines.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

using namespace headlines;

namespace {

// A Saturday afternoon whose day cannot be mistaken for a month.
const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 5, 7));

// A date with the system's separator.
QString dated(QString date)
{
    return date.replace('/', dateSeparator(QLocale::system()));
}

// 34 distinct texts as a saved file would hold them, the second layout chosen.
QStringList sampleFields()
{
    QStringList fields;
    for (int k = 0; k < kFieldCount; ++k)
        fields << (k % kFieldsPerLayout == kOwnerNumber ? QString("77777") : QStringLiteral("f%1").arg(k));
    fields[kSelectField] = "1";
    return fields;
}

} // namespace

class HeadlinesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // The editor on its own, in a stand-in main window; it counts the
    // refreshes of the favourites it asks for.
    struct Rig : TestHost {
        int refreshes = 0;
        HeadlineEditor headlineEditor{*this, [this] { ++refreshes; }};

        explicit Rig(const TestEnvironment& env) : TestHost(env) { appState.now = [] { return kNow; }; }
        HeadlineEditor& editor() { return headlineEditor; }
        QLineEdit* field(int k) { return findChild<QLineEdit*>(QStringLiteral("txtHeadlines_%1").arg(k)); }
        QRadioButton* option(int i) { return findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i)); }
        QListWidget* preview() { return findChild<QListWidget*>("lstHeadlines"); }
        bool open() { return !findChild<QWidget*>("frameHeadLine")->isHidden(); }
        void type(int k, const QString& text)
        {
            field(k)->selectAll();
            QTest::keyClicks(field(k), text);
        }
    };

    QStringList savedLines() { return QString::fromLatin1(env.readFile("\\Headlines.txt")).split("\r\n"); }

private slots:
    void init() { env.reset(); }

    void savedFileIsReadLineByLine()
    {
        // A first start: three identical layouts and no layout number.
        const QStringList defaults = defaultFields();
        QCOMPARE(defaults.mid(0, 11) + defaults.mid(0, 11) + defaults.mid(0, 11) + QStringList{""}, defaults);

        // Written and read back, every field comes back in its place; lines
        // past the 34th are not fields. (The saved lines themselves are
        // checked where the editor saves.)
        const QStringList sample = sampleFields();
        QCOMPARE(fieldsFromFileText(fileText(sample) + "extra\r\nmore\r\n"), sample);

        // A short file: the fields it has no line for keep their defaults,
        // and the owner number follows the last of its fields the file had.
        QStringList shortLines = sample.mid(0, 20);
        shortLines[3] = "111";
        shortLines[14] = "222";
        QStringList expected = sample.mid(0, 20) + defaults.mid(20);
        for (int k : {3, 14, 25})
            expected[k] = "222";
        QCOMPARE(fieldsFromFileText(shortLines.join("\n")), expected);
    }

    void chosenLayoutBecomesThreeLines()
    {
        QStringList fields = sampleFields();
        fields[22] = "  Stazione ";
        fields[23] = " 1234 ab  i";
        fields[31] = "   "; // blanks only: the joining blanks stay
        fields[32] = "\tvia 5 x ";
        QCOMPARE(headlineFileText(fields, 2), QString("Stazione 1234 ab  i\r\n"
                                                      "f24 77777 f26 f27 f28 f29\r\n"
                                                      "f30  \tvia 5 x\r\n"));
        QCOMPARE(headlineFileText(fields, 0), QString("f0 f1\r\nf2 77777 f4 f5 f6 f7\r\nf8 f9 f10\r\n"));
        QVERIFY(headlineFileText(fields, 3).isEmpty() && headlineFileText(fields, -1).isEmpty());

        // The preview keeps every blank, so the user sees the real length,
        // below a ruler of 67 columns.
        const QStringList ruler = {" ", kRuler, " "};
        QCOMPARE(previewLines(fields, 2), ruler + QStringList({"  Stazione   1234 ab  i", "f24 77777 f26 f27 f28 f29",
                                                                 "f30     \tvia 5 x "}));
        QVERIFY(kRuler.size() == 67 && kRuler.endsWith("+12345678"));

        // Layout colours are written blue-green-red.
        QCOMPARE(*layoutColour(0), QColor(255, 224, 192));
        QCOMPARE(*layoutColour(1), QColor(192, 255, 255));
        QVERIFY(!layoutColour(3) && !layoutColour(-1));

        // The layout number field read as a number, half-way to even.
        const std::pair<QString, int> numbers[] = {{" 2", 2}, {"1abc", 1}, {"", 0},    {"x", 0},
                                                   {"1.5", 2}, {"2.5", 2},  {"-1", -1}, {"1e30", -1}};
        for (const auto& [text, number] : numbers)
            QCOMPARE(selectFromField(text), number);
    }

    void editedLayoutIsSavedAndSentWithTheDayFirst()
    {
        Rig rig(env);
        rig.editor().lblHeadlineEditor_Click();
        QVERIFY(rig.open() && rig.preview()->isHidden());

        // The owner number is the same in all layouts; its neighbours are not touched.
        const QString before4 = rig.field(4)->text();
        rig.type(14, "4");
        QVERIFY(rig.field(3)->text() == "4" && rig.field(25)->text() == "4");
        rig.type(3, "98765");
        QVERIFY(rig.field(14)->text() == "98765" && rig.field(25)->text() == "98765");
        QCOMPARE(rig.field(4)->text(), before4);
        rig.type(25, "");
        QTest::keyClick(rig.field(25), Qt::Key_Backspace);
        QVERIFY(rig.field(3)->text().isEmpty() && rig.field(14)->text().isEmpty());
        rig.type(25, "12345");

        rig.option(2)->click();
        rig.type(22, "  TELEX DI ");
        rig.type(23, "12345 vornak d");
        rig.type(31, "   ");
        rig.type(32, "via 5555 abc d  ");

        rig.editor().lblView_Click();
        QListWidget* preview = rig.preview();
        QVERIFY(!preview->isHidden() && preview->count() == 6);
        QCOMPARE(preview->item(3)->text(), QString("  TELEX DI  12345 vornak d"));
        QCOMPARE(preview->palette().color(QPalette::Base), QColor(192, 192, 255));
        rig.editor().lblClsPreview_Click();
        QVERIFY(preview->isHidden());

        QVERIFY(rig.editor().lblExitHeadlineEditor_Click());
        QVERIFY(!rig.open());
        QCOMPARE(preview->count(), 0);
        QCOMPARE(rig.refreshes, 1);
        QCOMPARE(QString::fromLatin1(env.readFile("\\Headline1.txt")),
                 "TELEX DI 12345 vornak d\r\nQuillnet Nr. 12345 Data: " + dated("14/03/2026")
                     + " Ora: 15:05:07\r\nsoggetto:  via 5555 abc d\r\n");
        // Every field saved untrimmed, with the date it showed while editing.
        const QStringList saved = savedLines();
        QCOMPARE(saved.size(), kFieldCount + 1); // CR LF after the last line too
        QVERIFY(saved[22] == "  TELEX DI " && saved[31] == "   " && saved[33] == "2");
        QCOMPARE(saved[27], dated("03/14/2026"));
    }

    void missingShortAndForeignFilesKeepDefaults()
    {
        // No file at all: the defaults with the date month first and the
        // time in every layout, the first layout chosen, not a word.
        Rig rig(env);
        QStringList expected = defaultFields();
        for (int base : {0, 11, 22}) {
            expected[base + kDate] = dated("03/14/2026");
            expected[base + kTime] = "15:05:07";
        }
        rig.editor().lblHeadlineEditor_Click();
        QCOMPARE(rig.editor().fields(), expected);
        QVERIFY(rig.option(0)->isChecked());

        // A short Latin-1 file, after an edit of a field it has no line for:
        // that field is back to its default.
        rig.type(20, "edited");
        env.writeFile("\\Headlines.txt", "Z\xFCrich\r\nline two\r\n");
        rig.editor().lblHeadlineEditor_Click();
        expected[0] = QString::fromUtf8("Zürich");
        expected[1] = "line two";
        QCOMPARE(rig.editor().fields(), expected);
        QVERIFY(rig.scripted.asked.isEmpty());

        // UTF-8 with a layout number that is no layout: no button checked,
        // only the ruler in the preview and an empty headline file.
        QStringList lines = sampleFields();
        lines[0] = QString::fromUtf8("Ελλάδα");
        lines[kSelectField] = "7";
        env.writeFile("\\Headlines.txt", lines.join("\r\n").toUtf8());
        rig.editor().lblHeadlineEditor_Click();
        QCOMPARE(rig.field(0)->text(), lines[0]);
        QVERIFY(!rig.option(0)->isChecked() && !rig.option(1)->isChecked() && !rig.option(2)->isChecked());
        rig.editor().lblView_Click();
        QCOMPARE(rig.preview()->count(), 3);
        QVERIFY(rig.editor().lblExitHeadlineEditor_Click());
        QCOMPARE(env.readFile("\\Headline1.txt"), QByteArray());
        const QByteArray saved = env.readFile("\\Headlines.txt");
        QVERIFY(saved.startsWith(lines[0].toUtf8() + "\r\n")); // beyond Latin-1: written as UTF-8
        QVERIFY(saved.endsWith("\r\n7\r\n"));
    }

    void savedHeadlinesAreSentOrKeptWhenUnwritable()
    {
        // Sent without the editor having been opened: the saved headlines,
        // not the standard ones, in layout 1 as saved.
        env.writeFile("\\Headlines.txt", fileText(sampleFields()).toLatin1());
        Rig rig(env);
        QVERIFY(rig.editor().lblExitHeadlineEditor_Click());
        QCOMPARE(QString::fromLatin1(env.readFile("\\Headline1.txt")),
                 "f11 f12\r\nf13 77777 f15 " + dated("14/03/2026") + " f17 15:05:07\r\nf19 f20 f21\r\n");
        QVERIFY(savedLines()[0] == "f0" && savedLines()[21] == "f21" && savedLines()[33] == "1");
        QVERIFY(!rig.open());

        // A folder that refuses the write: said, and the panel stays with the
        // edit. (The folder's bytes after a refused write are checked with
        // every write that meets a read-only or full folder.)
        rig.editor().lblHeadlineEditor_Click();
        rig.type(9, "urgent");
        {
            ReadOnlyFolder readOnly(env.folder());
            if (!readOnly.effective())
                QSKIP("this file system cannot make a folder read-only");
            QVERIFY(!rig.editor().lblExitHeadlineEditor_Click());
        }
        QVERIFY(rig.scripted.asked.size() == 1 && rig.scripted.asked[0].icon == Dialogs::Icon::Exclamation);
        QVERIFY(rig.scripted.asked[0].text.startsWith("The headlines could not be saved to "
                                                     + env.file("\\Headlines.txt") + ":\n"));
        QVERIFY(rig.open() && rig.field(9)->text() == "urgent");
        QCOMPARE(rig.refreshes, 1);

        // Writable again: the same Exit saves the edit.
        QVERIFY(rig.editor().lblExitHeadlineEditor_Click());
        QCOMPARE(savedLines()[9], QString("urgent"));
        QCOMPARE(rig.refreshes, 2);

        // The headline file alone cannot be written: the headlines are saved,
        // the failure names the headline file and the panel stays.
        QVERIFY(QFile::remove(env.file("\\Headline1.txt")));
        QVERIFY(QDir(env.folder()).mkdir("Headline1.txt"));
        rig.editor().lblHeadlineEditor_Click();
        rig.type(10, "second");
        rig.scripted.clear();
        QVERIFY(!rig.editor().lblExitHeadlineEditor_Click());
        QVERIFY(rig.scripted.asked.size() == 1 && rig.scripted.asked[0].text.contains(env.file("\\Headline1.txt")));
        QCOMPARE(savedLines()[10], QString("second"));
        QVERIFY(rig.open());
    }
};

VORNAK_TEST_MAIN(HeadlinesTest)

#include "tst_headlines.moc"
