// The local numbers: the fixed columns of "\LocalTelex.txt", the list panel
// that dials them and the editor panel that writes all 18 lines.
#include "support/ReadOnlyFolder.h"
#include "support/TestHost.h"

#include "prepared/LocalNumbers.h"
#include "prepared/LocalNumbersPart.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

using namespace localnumbers;

namespace {

struct Dial {
    QString number;
    QString label;
    bool operator==(const Dial&) const = default;
};

} // namespace

class LocalNumbersTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    struct Rig {
        TestHost host;
        QList<Dial> dials;
        int refreshes = 0;
        LocalNumbersPart part;
        explicit Rig(const TestEnvironment& env)
            : host(env),
              part(
                  host, [this](const QString& number, const QString& label) { dials << Dial{number, label}; },
                  [this] { ++refreshes; })
        {
        }
    };

private slots:
    void init() { env.reset(); }

    void fixedColumns()
    {
        // One figure is padded to the number's three columns, so the
        // description comes back whole, leading blanks and all. (Two figures
        // show in the panels below.)
        QCOMPARE(entryFromLine(lineFor({"7", " two  blanks "})).description, QString(" two  blanks "));
        const std::pair<QString, QString> dialled[] = {
            {caption({"7", "echo"}), " 7"}, {"07     x", " 7"}, {"        ", " 0"}, {"x1      y", " 0"},
            {" 1     one", " 0"}, {"-5     minus", " 0"}, {".5     point", " 0"}, {"\t5     tab", " 0"},
            {"5.     five", " 5"}, {"1e     one", " 1"}};
        for (const auto& [shown, number] : dialled)
            QCOMPARE(dialRequestFor(shown).number, number);

        // A short line: what is missing stays empty; lines past the 18th are
        // not entries (a short file shows in the panels).
        QVERIFY(entryFromLine("5").number == "5" && entryFromLine("5").description.isEmpty());
        QString long20;
        for (int k = 0; k < 20; ++k)
            long20 += QStringLiteral("%1    entry %1\n").arg(k + 10);
        QCOMPARE(entriesFromText(long20)[17].description, QString("entry 27"));
    }

    void listDialsWithThePortOpen()
    {
        env.writeFile("\\LocalTelex.txt", "12    time service\r\n40    echo\r\n");
        Rig rig(env);
        QCOMPARE(rig.host.commandNames("Phonebook"), QStringList({"lblLocalNumbersShow", "lblEditLocal"}));
        QCOMPARE(rig.host.command("lblLocalNumbersShow")->text(), QString("Local Numbers"));
        QVERIFY(rig.part.frameLocalCalls->isHidden());

        rig.host.click("lblLocalNumbersShow");
        QVERIFY(!rig.part.frameLocalCalls->isHidden());
        QCOMPARE(rig.part.frameLocalCalls->title(), QString("Special System Numbers"));
        QCOMPARE(rig.part.frameLocalCalls->parentWidget(), &rig.host.desk());
        QCOMPARE(QStringList({rig.part.lblLocalTelex[0]->text(), rig.part.lblLocalTelex[1]->text(),
                              rig.part.lblLocalTelex[2]->text()}),
                 QStringList({"12      time service", "40      echo", QString(8, ' ')}));

        // Port closed: told, nothing dialled.
        QTest::mouseClick(rig.part.lblLocalTelex[0], Qt::LeftButton);
        QCOMPARE(rig.host.scripted.texts(), QStringList{"Open Communication Port First ..... "});

        QVERIFY(rig.host.link().open());
        QTest::mouseClick(rig.part.lblLocalTelex[0], Qt::LeftButton);
        QTest::mouseClick(rig.part.lblLocalTelex[1], Qt::LeftButton);
        QCOMPARE(rig.dials, QList<Dial>({{" 12", "12      time service    "}, {" 40", "40      echo    "}}));

        QTest::mouseClick(rig.part.lblExitLocalTeleprinters, Qt::LeftButton);
        QVERIFY(rig.part.frameLocalCalls->isHidden());

        // Without a file the list is empty and nothing is said.
        QFile::remove(env.file("\\LocalTelex.txt"));
        rig.host.click("lblLocalNumbersShow");
        QCOMPARE(rig.part.lblLocalTelex[0]->text(), QString(8, ' '));
        QCOMPARE(rig.host.scripted.asked.size(), 1);
    }

    void editorWritesAllEighteenLinesOrStaysOpen()
    {
        env.writeFile("\\LocalTelex.txt", "12    time service\r\n");
        Rig rig(env);
        auto* favourites = new QWidget(&rig.host.desk());
        favourites->setObjectName("frameNumbers");
        favourites->show();

        rig.host.click("lblEditLocal");
        QVERIFY(!rig.part.frameLocalTeleprinters->isHidden());
        QVERIFY(favourites->isHidden());
        QCOMPARE(rig.part.frameLocalTeleprinters->title(), QString("Local Numbers Editor"));
        QCOMPARE(rig.part.txtLocalNumber[0]->text() + "|" + rig.part.txtLocalName[0]->text(), QString("12 |time service"));

        // A one-figure number: padded to three, then three blanks.
        rig.part.txtLocalNumber[1]->setText("7");
        rig.part.txtLocalName[1]->setText("echo service");
        // A number field holds no more than its three columns.
        rig.part.txtLocalNumber[17]->clear();
        QTest::keyClicks(rig.part.txtLocalNumber[17], "12345");
        QCOMPARE(rig.part.txtLocalNumber[17]->text(), QString("123"));
        QTest::mouseClick(rig.part.lblExitLocalNumbers, Qt::LeftButton);

        QCOMPARE(env.readFile("\\LocalTelex.txt"), "12    time service\r\n7     echo service\r\n"
                                                       + QByteArray("      \r\n").repeated(15) + "123   \r\n");
        QVERIFY(rig.part.frameLocalTeleprinters->isHidden());
        QCOMPARE(rig.refreshes, 1);
        // The list shows the saved entries.
        QCOMPARE(rig.part.lblLocalTelex[1]->text(), QString("7       echo service"));

        // Everything emptied: 18 lines of six blanks.
        rig.host.click("lblEditLocal");
        for (int k = 0; k < kEntries; ++k) {
            rig.part.txtLocalNumber[k]->clear();
            rig.part.txtLocalName[k]->clear();
        }
        QVERIFY(rig.part.lblExitLocalNumbers_Click());
        QCOMPARE(env.readFile("\\LocalTelex.txt"), QByteArray("      \r\n").repeated(kEntries));

        // A folder that refuses the write: said, and the editor stays open
        // with the entry. (That the file keeps its bytes is checked with
        // every write refused by a read-only or full folder.)
        rig.host.click("lblEditLocal");
        rig.part.txtLocalName[0]->setText("changed");
        ReadOnlyFolder locked(env.folder());
        if (!locked.effective())
            QSKIP("this file system lets every write through");
        QVERIFY(!rig.part.lblExitLocalNumbers_Click());
        QCOMPARE(rig.host.scripted.asked.size(), 1);
        QVERIFY(rig.host.scripted.asked[0].text.startsWith("The local numbers cannot be saved to LocalTelex.txt: "));
        QCOMPARE(rig.host.scripted.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(!rig.part.frameLocalTeleprinters->isHidden());
        QCOMPARE(rig.part.txtLocalName[0]->text(), QString("changed"));
        QCOMPARE(rig.refreshes, 2);
    }
};

QTEST_MAIN(LocalNumbersTest)
#include "tst_localnumbers.moc"
