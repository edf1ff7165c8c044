// The headline editor: the field texts and the two files, and the panel on
// the terminal window.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "app/DateText.h"
#include "app/SettingsStore.h"
#include "app/terminal.h"
#include "prepared/HeadlineEditor.h"
#include "prepared/Headlines.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include <unistd.h>

using namespace headlines;

namespace {

// A Saturday afternoon whose day cannot be mistaken for a month.
const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 5, 7));

QString withSeparator(QString date)
{
    return date.replace('/', dateSeparator(QLocale::system()));
}

// 34 distinct texts as a saved file would hold them.
QStringList sampleFields()
{
    QStringList fields;
    for (int k = 0; k < kFieldCount; ++k)
        fields << QStringLiteral("f%1").arg(k);
    for (int k : {3, 14, 25})
        fields[k] = "77777";
    fields[kSelectField] = "1";
    return fields;
}

QStringList fileLines(const TestEnvironment& env, const QString& name)
{
    return QString::fromLatin1(env.readFile(name)).split("\r\n");
}

// The program folder as a user who may not write it sees it. Permission bits
// do not stop the super-user, so a test run as root looks at the folder as
// "nobody" while the folder is read-only.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder), m_parent(QFileInfo(folder).path())
    {
        QFile::setPermissions(m_parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther
                                            | QFile::ReadOther);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0)
            m_droppedRoot = seteuid(65534) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_droppedRoot && seteuid(0) != 0)
            qFatal("could not take back the super-user's rights");
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(m_parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Whether the folder really refuses a new file.
    bool holds() const
    {
        QFile probe(m_folder + "/probe.tmp");
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    QString m_folder;
    QString m_parent;
    bool m_droppedRoot = false;
};

} // namespace

class HeadlinesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig {
        AppState state;
        ScriptedDialogs dialogs;
        SettingsStore settings;
        std::unique_ptr<frmTerminal> terminal;
        int refreshes = 0;

        explicit Rig(const TestEnvironment& env) : state(env.makeState())
        {
            state.now = [] { return kNow; };
            terminal = std::make_unique<frmTerminal>(state, dialogs, settings);
            editor().setFavouritesRefresh([this] { ++refreshes; });
        }
        HeadlineEditor& editor() { return terminal->headlineEditor(); }
        QLineEdit* field(int k) { return terminal->findChild<QLineEdit*>(QStringLiteral("txtHeadlines_%1").arg(k)); }
        QRadioButton* option(int i) { return terminal->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i)); }
        QListWidget* preview() { return terminal->findChild<QListWidget*>("lstHeadlines"); }
        QWidget* frame() { return terminal->frameHeadLine; }
        void type(int k, const QString& text)
        {
            field(k)->selectAll();
            QTest::keyClicks(field(k), text);
        }
    };

private slots:
    void init() { env.reset(); }

    void savedFileIsReadLineByLine()
    {
        const QStringList defaults = defaultFields();
        QCOMPARE(defaults.size(), kFieldCount);
        QCOMPARE(defaults.mid(0, 11), defaults.mid(11, 11));
        QCOMPARE(defaults.mid(0, 11), defaults.mid(22, 11));
        QCOMPARE(defaults[kSelectField], QString());

        // Written and read back, every field comes back in its place.
        const QStringList sample = sampleFields();
        const QString text = fileText(sample);
        QCOMPARE(text.count("\r\n"), kFieldCount);
        QVERIFY(text.endsWith("f32\r\n1\r\n"));
        QCOMPARE(fieldsFromFileText(text), sample);

        // Lines past the 34th are not fields.
        QCOMPARE(fieldsFromFileText(text + "extra\r\nmore\r\n"), sample);

        // A short file: the fields it has no line for keep their defaults,
        // and the owner number follows the last of its fields the file had.
        QStringList shortLines = sample.mid(0, 20);
        shortLines[3] = "111";
        shortLines[14] = "222";
        const QStringList fromShort = fieldsFromFileText(shortLines.join("\n"));
        QCOMPARE(fromShort.mid(0, 3), sample.mid(0, 3));
        QCOMPARE(fromShort.mid(15, 5), sample.mid(15, 5));
        QStringList untouched = defaults.mid(20);
        untouched[25 - 20] = "222";
        QCOMPARE(fromShort.mid(20), untouched);
        QCOMPARE(fromShort[3], QString("222"));
        QCOMPARE(fromShort[25], QString("222"));
        // Nothing at all: the defaults, owner number included.
        QCOMPARE(fieldsFromFileText(QString()), defaults);
        QCOMPARE(fieldsFromFileText("only one\r\n").mid(1), defaults.mid(1));
    }

    void chosenLayoutBecomesThreeLines()
    {
        QStringList fields = sampleFields();
        fields[22] = "  Stazione ";
        fields[23] = " 1234 ab  i";
        fields[30] = "soggetto:";
        fields[31] = "   "; // blanks only: the joining blanks stay
        fields[32] = "\tvia 5 x ";
        QCOMPARE(headlineFileText(fields, 2), QString("Stazione 1234 ab  i\r\n"
                                                      "f24 77777 f26 f27 f28 f29\r\n"
                                                      "soggetto:  \tvia 5 x\r\n"));
        QCOMPARE(headlineFileText(fields, 0), QString("f0 f1\r\nf2 77777 f4 f5 f6 f7\r\nf8 f9 f10\r\n"));
        QCOMPARE(headlineFileText(fields, 3), QString());
        QCOMPARE(headlineFileText(fields, -1), QString());

        // The preview keeps every blank, so the user sees the real length.
        const QStringList preview = previewLines(fields, 2);
        QCOMPARE(preview.size(), 6);
        QCOMPARE(preview[0], QString(" "));
        QCOMPARE(preview[1].size(), 67);
        QCOMPARE(preview[1].mid(60), QString("2345678"));
        QCOMPARE(preview[2], QString(" "));
        QCOMPARE(preview[3], QString("  Stazione   1234 ab  i"));
        QCOMPARE(preview[5], QString("soggetto:     \tvia 5 x "));
        QCOMPARE(previewLines(fields, 5), preview.mid(0, 3));

        // Layout colours are written blue-green-red.
        QCOMPARE(*layoutColour(0), QColor(255, 224, 192));
        QCOMPARE(*layoutColour(1), QColor(192, 255, 255));
        QCOMPARE(*layoutColour(2), QColor(192, 192, 255));
        QVERIFY(!layoutColour(3));

        // The layout number field read as a number.
        QCOMPARE(selectFromField(" 2"), 2);
        QCOMPARE(selectFromField("1abc"), 1);
        QCOMPARE(selectFromField(""), 0);
        QCOMPARE(selectFromField("x"), 0);
        QCOMPARE(selectFromField("1.5"), 2);
        QCOMPARE(selectFromField("2.5"), 2);
        QCOMPARE(selectFromField("-1"), -1);
        QCOMPARE(selectFromField("1e30"), -1);
    }

    void ownerNumberIsTheSameInAllLayouts()
    {
        Rig rig(env);
        rig.terminal->lblHeadlineEditor_Click();
        const QString before4 = rig.field(4)->text();
        rig.type(14, "98765");
        QCOMPARE(rig.field(3)->text(), QString("98765"));
        QCOMPARE(rig.field(25)->text(), QString("98765"));
        rig.type(3, "4");
        QCOMPARE(rig.field(14)->text(), QString("4"));
        QCOMPARE(rig.field(25)->text(), QString("4"));
        rig.type(25, "");
        QTest::keyClick(rig.field(25), Qt::Key_Backspace);
        QCOMPARE(rig.field(3)->text(), QString());
        QCOMPARE(rig.field(14)->text(), QString());
        // Neighbouring fields are not touched.
        QCOMPARE(rig.field(4)->text(), before4);
    }

    void exitWritesTheChosenLayoutWithTheDayFirst()
    {
        Rig rig(env);
        rig.terminal->lblHeadlineEditor_Click();
        QVERIFY(!rig.frame()->isHidden());
        QVERIFY(rig.preview()->isHidden());
        QVERIFY(rig.terminal->findChild<QLabel*>("lblInfoHeadlines")->text().contains("Text-Lenght"));

        // While editing the dates stand month first.
        for (int k : {5, 16, 27})
            QCOMPARE(rig.field(k)->text(), withSeparator("03/14/2026"));
        for (int k : {7, 18, 29})
            QCOMPARE(rig.field(k)->text(), QString("15:05:07"));

        rig.option(2)->click();
        QCOMPARE(rig.state.HeadlineSelect, 2);
        rig.type(22, "  TELEX DI ");
        rig.type(23, "12345 vornak d");
        rig.type(31, "   ");
        rig.type(32, "via 5555 abc d  ");

        rig.editor().lblView_Click();
        QListWidget* preview = rig.preview();
        QVERIFY(!preview->isHidden());
        QCOMPARE(preview->count(), 6);
        QCOMPARE(preview->item(1)->text(), kRuler);
        QCOMPARE(preview->item(3)->text(), QString("  TELEX DI  12345 vornak d"));
        QVERIFY(preview->item(4)->text().contains(withSeparator("03/14/2026")));
        QCOMPARE(preview->palette().color(QPalette::Base), QColor(192, 192, 255));
        rig.editor().lblClsPreview_Click();
        QVERIFY(preview->isHidden());

        QVERIFY(rig.terminal->lblExitHeadlineEditor_Click());
        QVERIFY(rig.dialogs.asked.isEmpty());
        QVERIFY(rig.frame()->isHidden());
        QCOMPARE(preview->count(), 0);
        QCOMPARE(rig.refreshes, 1);

        const QString sent = QString::fromLatin1(env.readFile("\\Headline1.txt"));
        QCOMPARE(sent, "TELEX DI 12345 vornak d\r\n"
                       "Quillnet Nr. 12345 Data: " + withSeparator("14/03/2026") + " Ora: 15:05:07\r\n"
                       "soggetto:  via 5555 abc d\r\n");

        const QStringList saved = fileLines(env, "\\Headlines.txt");
        QCOMPARE(saved.size(), kFieldCount + 1); // CR LF after the last line too
        QCOMPARE(saved[33], QString("2"));
        QCOMPARE(saved[22], QString("  TELEX DI "));
        QCOMPARE(saved[31], QString("   "));
        // The saved fields keep the date they showed while editing.
        QCOMPARE(saved[27], withSeparator("03/14/2026"));

        // Opened again, the editor shows what was saved and the same layout.
        rig.state.HeadlineSelect = 0;
        rig.terminal->lblHeadlineEditor_Click();
        QCOMPARE(rig.state.HeadlineSelect, 2);
        QVERIFY(rig.option(2)->isChecked());
        QVERIFY(!rig.option(0)->isChecked());
        QCOMPARE(rig.field(32)->text(), QString("via 5555 abc d  "));
    }

    void missingShortAndForeignFilesKeepDefaults()
    {
        Rig rig(env);
        const QStringList defaults = defaultFields();
        auto compareUndated = [&](const QStringList& expected) {
            const QStringList shown = rig.editor().fields();
            for (int k = 0; k < kFieldCount; ++k) {
                if (k % kFieldsPerLayout != kDate && k % kFieldsPerLayout != kTime)
                    QCOMPARE(shown[k], expected[k]);
            }
        };

        // No file at all: the defaults, the first layout, not a word.
        QVERIFY(!QFile::exists(env.file("\\Headlines.txt")));
        rig.terminal->lblHeadlineEditor_Click();
        compareUndated(defaults);
        QCOMPARE(rig.state.HeadlineSelect, 0);
        QVERIFY(rig.option(0)->isChecked());
        QVERIFY(rig.dialogs.asked.isEmpty());

        // A short Latin-1 file, after an edit of a field it has no line for:
        // that field is back to its default.
        rig.type(20, "edited");
        env.writeFile("\\Headlines.txt", "Z\xFCrich\r\nline two\r\n");
        rig.terminal->lblHeadlineEditor_Click();
        QStringList expected = defaults;
        expected[0] = QString::fromUtf8("Zürich");
        expected[1] = "line two";
        compareUndated(expected);
        QCOMPARE(rig.field(20)->text(), defaults[20]);
        QVERIFY(rig.dialogs.asked.isEmpty());

        // UTF-8 with a layout number that is no layout: no button checked,
        // only the ruler in the preview and an empty headline file.
        QStringList lines = sampleFields();
        lines[0] = QString::fromUtf8("Ελλάδα");
        lines[kSelectField] = "7";
        env.writeFile("\\Headlines.txt", lines.join("\r\n").toUtf8());
        rig.terminal->lblHeadlineEditor_Click();
        QCOMPARE(rig.field(0)->text(), lines[0]);
        QCOMPARE(rig.state.HeadlineSelect, 7);
        for (int i = 0; i < kLayoutCount; ++i)
            QVERIFY(!rig.option(i)->isChecked());
        rig.editor().lblView_Click();
        QCOMPARE(rig.preview()->count(), 3);
        QVERIFY(rig.terminal->lblExitHeadlineEditor_Click());
        QCOMPARE(env.readFile("\\Headline1.txt"), QByteArray());
        const QByteArray saved = env.readFile("\\Headlines.txt");
        QVERIFY(saved.startsWith(lines[0].toUtf8() + "\r\n")); // beyond Latin-1: written as UTF-8
        QVERIFY(saved.endsWith("\r\n7\r\n"));
    }

    void sendingWithoutOpeningKeepsTheSavedHeadlines()
    {
        QStringList lines = sampleFields(); // layout 1 chosen
        env.writeFile("\\Headlines.txt", (lines.join("\r\n") + "\r\n").toLatin1());
        Rig rig(env);
        QCOMPARE(rig.state.HeadlineSelect, 0);
        QVERIFY(rig.terminal->lblExitHeadlineEditor_Click());
        QCOMPARE(rig.state.HeadlineSelect, 1);
        QCOMPARE(QString::fromLatin1(env.readFile("\\Headline1.txt")),
                 "f11 f12\r\nf13 77777 f15 " + withSeparator("14/03/2026") + " f17 15:05:07\r\nf19 f20 f21\r\n");
        const QStringList saved = fileLines(env, "\\Headlines.txt");
        QCOMPARE(saved[0], QString("f0"));
        QCOMPARE(saved[21], QString("f21"));
        QCOMPARE(saved[33], QString("1"));
        QVERIFY(rig.frame()->isHidden());
    }

    void unwritableFolderIsReportedAndNothingIsLost()
    {
        const QByteArray original = (sampleFields().join("\r\n") + "\r\n").toLatin1();
        env.writeFile("\\Headlines.txt", original);
        Rig rig(env);
        rig.terminal->lblHeadlineEditor_Click();
        rig.type(9, "urgent");
        {
            ReadOnlyFolder readOnly(env.folder());
            if (!readOnly.holds())
                QSKIP("this system lets the test write into a read-only folder");
            QVERIFY(!rig.terminal->lblExitHeadlineEditor_Click());
        }
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QCOMPARE(rig.dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(rig.dialogs.asked[0].text.contains(env.file("\\Headlines.txt")));
        QVERIFY(!rig.frame()->isHidden());
        QCOMPARE(rig.field(9)->text(), QString("urgent"));
        QCOMPARE(rig.refreshes, 0);
        QCOMPARE(env.readFile("\\Headlines.txt"), original);
        QVERIFY(!QFile::exists(env.file("\\Headline1.txt")));
        QCOMPARE(QDir(env.folder()).entryList({"Headline*"}, QDir::Files), QStringList{"Headlines.txt"});

        // Writable again: the same Exit saves the edit.
        QVERIFY(rig.terminal->lblExitHeadlineEditor_Click());
        QCOMPARE(fileLines(env, "\\Headlines.txt")[9], QString("urgent"));
        QCOMPARE(rig.refreshes, 1);

        // The headline file alone cannot be written: the headlines are saved,
        // the failure names the headline file and the panel stays.
        QVERIFY(QFile::remove(env.file("\\Headline1.txt")));
        QVERIFY(QDir(env.folder()).mkdir("Headline1.txt"));
        rig.terminal->lblHeadlineEditor_Click();
        rig.type(10, "second");
        rig.dialogs.clear();
        QVERIFY(!rig.terminal->lblExitHeadlineEditor_Click());
        QCOMPARE(rig.dialogs.asked.size(), 1);
        QVERIFY(rig.dialogs.asked[0].text.contains(env.file("\\Headline1.txt")));
        QCOMPARE(fileLines(env, "\\Headlines.txt")[10], QString("second"));
        QVERIFY(!rig.frame()->isHidden());
    }
};

int main(int argc, char** argv)
{
    HeadlinesTest test; // sets up the environment before the application exists
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_headlines.moc"
