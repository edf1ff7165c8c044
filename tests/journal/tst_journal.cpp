// The traffic journal: its lines, its files, the Journal command in the real
// window over a pseudo-terminal, and what it does when it cannot write.
#include "faults/FolderFaults.h"
#include "support/BoxProgram.h"
#include "support/ReadOnlyFolder.h"
#include "support/TerminalRig.h"
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "core/DataFile.h"
#include "journal/JournalLines.h"
#include "journal/JournalPart.h"
#include "journal/TrafficJournal.h"

#include <QDir>
#include <sys/stat.h>

class JournalTest : public QObject {
    Q_OBJECT
    TestEnvironment env;
    // The clock of the program in these tests.
    QDateTime clock;

    QString journalFolder() const { return env.folder() + "/journal"; }
    QStringList journalLines(const QDate& day) const
    {
        QFile file(journalFolder() + "/" + journalFileName(day));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    static QDate day1() { return QDate(2026, 8, 24); }

private slots:
    void init()
    {
        env.reset();
        clock = QDateTime(day1(), QTime(23, 59, 58));
    }

    void linesAndMarks()
    {
        QCOMPARE(journalFileName(QDate(2026, 8, 4)), QString("2026-08-04.txt"));
        QCOMPARE(readableText(QString::fromLatin1("a\x1bMb\t\x07\x7f\x9b\xe9\x00", 10)),
                 QString("a<ESC>Mb<TAB><BEL><7F><9B>\u00e9<NUL>"));

        // Each line that ends, with the second it began in.
        const auto ended = [](const QList<LineCollector::Line>& done) {
            QStringList out;
            for (const LineCollector::Line& line : done)
                out << line.text + " " + line.started.toString("ss");
            return out;
        };
        const QDateTime t1(day1(), QTime(10, 0, 1)), t2 = t1.addSecs(1), t3 = t1.addSecs(2);
        LineCollector lines;
        QVERIFY(lines.add(u"hel", t1).isEmpty() && lines.hasPending());
        QCOMPARE(ended(lines.add(u"lo\r\nwor", t2)), QStringList({"hello 01"}));
        // LF alone ends a line too; bare line ends make no lines; the LF of
        // a CR LF pair is no second line end.
        QCOMPARE(ended(lines.add(u"ld\n\r\r\nx", t3)), QStringList({"world 02"}));
        const std::optional<LineCollector::Line> pending = lines.takePending();
        QVERIFY(pending && !lines.takePending());
        QCOMPARE(ended({*pending}), QStringList({"x 03"}));
        // A CR at the end of one piece and its LF at the head of the next.
        QCOMPARE(lines.add(u"one\r", t1).size(), 1);
        QVERIFY(lines.add(u"\ntwo", t1).isEmpty());
        lines.dropLastCharacter();
        QCOMPARE(lines.add(u"x\r", t1)[0].text, QString("twx"));
    }

    // The Journal command of the real window: off at first, then every line
    // of the traffic, received as the window shows it and sent as it went
    // out, in the order the lines ended.
    void journalOfTheWindow()
    {
        TerminalRig rig(env);
        rig.state.now = [this] { return clock; };
        JournalPart& part = rig.part<JournalPart>();
        part.journal().setClockReadEvery(0);
        QVERIFY(!part.journal().isOn() && !part.command()->property("checked").toBool());
        rig.box.write("before the journal\r\n");
        rig.box.readFor(100);

        rig.click("lblJournal");
        QVERIFY(part.journal().isOn() && part.command()->captionColor() == QColor(0x00FF00));
        QCOMPARE(rig.settings.get("Journal", "On") + " " + rig.action(), QString("1 Journal On"));

        rig.CallNumber("12345", "far station");
        rig.box.readFor(50);
        rig.box.write("\r\nnr? 012345\r\n012345 demo d\r\n");
        QTRY_COMPARE(journalLines(day1()).size(), 2);
        clock = clock.addSecs(1);
        rig.SendTxt("hello");
        rig.SendTxt("");
        rig.box.write("abc\bd\r\n");
        const QStringList expected = {"23:59:58 RX nr? 012345", "23:59:58 RX 012345 demo d",
                                      "23:59:58 TX <SOH> 012345", "23:59:59 TX hello", "23:59:59 RX abd"};
        QTRY_COMPARE(journalLines(day1()), expected);
        // The name the window shows when dialling did not come over the line.
        QVERIFY(rig.text().lineText().contains("far station"));

        // Off: nothing more, and the line in progress is kept.
        rig.box.write("half a li");
        rig.box.readFor(100);
        rig.click("lblJournal");
        QCOMPARE(rig.settings.get("Journal", "On"), QString("0"));
        QCOMPARE(part.command()->captionColor(), QColor(0xFFFFFF));
        rig.box.write("ne\r\nnot journaled\r\n");
        rig.SendTxt("nor this");
        rig.box.readFor(100);
        QCOMPARE(journalLines(day1()), expected + QStringList{"23:59:59 RX half a li"});
        QVERIFY(rig.dialogs.asked.isEmpty());

        // Switched on at start when the user left it on.
        JournalPart again(rig.t());
        QVERIFY(!again.journal().isOn()); // the setting says off now
        rig.settings.save("Journal", "On", "1");
        JournalPart onAtStart(rig.t());
        QVERIFY(onAtStart.journal().isOn());
        QCOMPARE(onAtStart.command()->property("checked"), QVariant(true));
    }

    // A line is in the file as soon as it has ended; lines following close
    // behind are gathered for a moment; the line in progress waits. Each day
    // has a file of its own, a line belongs to the day it began on, and the
    // journal started again on the same day adds to the day's file, never
    // to a line found cut at its end.
    void journalFiles()
    {
        QVERIFY(QDir().mkpath(journalFolder()));
        env.writeFile("\\journal/2026-08-24.txt", "23:59:50 RX cut by a power fail");
        TrafficJournal journal(journalFolder(), [this] { return clock; });
        QString error;
        QVERIFY2(journal.start(&error), qPrintable(error));
        QCOMPARE(journal.currentFile(), journalFolder() + "/2026-08-24.txt");
        journal.recordReceived("first line\r\n");
        QCOMPARE(journalLines(day1()), QStringList({"23:59:50 RX cut by a power fail", "23:59:58 RX first line"}));
        journal.recordReceived("second\r\nthird li");
        QTRY_COMPARE(journalLines(day1()).size(), 3);
        QTest::qWait(3 * TrafficJournal::kGatherMs);
        QCOMPARE(journalLines(day1()).size(), 3);
        journal.recordReceived("ne\r\n");
        QCOMPARE(journalLines(day1()).last(), QString("23:59:58 RX third line"));

        journal.setClockReadEvery(0);
        journal.recordSent("before midnight\r");
        clock = clock.addSecs(1); // 23:59:59
        journal.recordReceived("spann");
        clock = clock.addSecs(2); // 00:00:01, the next day
        journal.recordSent("after\r");
        clock = clock.addSecs(1);
        journal.recordReceived("ing\r\n");
        journal.recordSent("on the new day\r");
        journal.stop();
        QCOMPARE(journalLines(day1()).mid(4), QStringList({"23:59:58 TX before midnight", "23:59:59 RX spanning"}));
        QCOMPARE(journalLines(day1().addDays(1)), QStringList({"00:00:01 TX after", "00:00:02 TX on the new day"}));

        QVERIFY(journal.start(&error));
        journal.recordReceived("more\r\n");
        journal.flush();
        QCOMPARE(journalLines(day1().addDays(1)).size(), 3);
        QCOMPARE(QDir(journalFolder()).entryList(QDir::Files).size(), 2);
    }

    // The program killed in the middle of a message: every whole line
    // before is in the journal, the line in progress is not.
    void killedMidMessage()
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak";
        if (!QFileInfo::exists(program))
            QSKIP("build the vornak program first (cmake --build build --target vornak)");
        QByteArray config = env.readFile("\\QuillnetUsb.cfg");
        config.replace("\r\n0.15\r\n", "\r\n0.01\r\n");
        env.writeFile("\\QuillnetUsb.cfg", config);
        BoxProgram box(env);
        {
            SettingsStore settings;
            settings.save("Ports", "Com1", box.device);
            settings.save("Journal", "On", "1");
        }
        QStringList message;
        for (int i = 1; i <= 30; ++i)
            message << QStringLiteral("bulletin line %1 of thirty").arg(i);
        env.writeFile("\\bulletin.txt", message.join("\r\n").toLatin1() + "\r\n");

        QProcess vornak;
        vornak.start(program, {"send", env.file("\\bulletin.txt"), "--to", "12345"});
        const auto sentLines = [&] {
            QStringList sent;
            for (const QString& line : journalLines(QDate::currentDate()))
                if (line.mid(9, 2) == "TX")
                    sent << line.mid(12);
            return sent;
        };
        QTRY_VERIFY_WITH_TIMEOUT(sentLines().size() >= 5, 20000);
        vornak.kill();
        vornak.waitForFinished();
        QVERIFY(box.received().size() > 100);

        const QStringList sent = sentLines();
        QCOMPARE(sent.first(), QString("<SOH> 012345"));
        // Whole lines of the message, in order, and nothing of the line that
        // was going out.
        QCOMPARE(sent.mid(1), message.mid(0, sent.size() - 1));
        // The far answerback before it.
        const QStringList all = journalLines(QDate::currentDate());
        QVERIFY(std::any_of(all.begin(), all.end(), [](const QString& line) { return line.endsWith(" RX 012345 demo d"); }));
    }

    void refusedWritesTurnTheJournalOff_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("read-only folder") << QString("read-only folder");
        QTest::newRow("pipe as the day's file") << QString("pipe");
        QTest::newRow("nearly full disk") << QString("nearly full");
    }

    // A read-only folder, or a pipe no one reads as the day's file, refuses
    // the journal as it is switched on; a disk that fills up, mid-line as it
    // writes. Either way: one message with the cause, the journal off and
    // kept off, the terminal carrying on, only whole lines in the file.
    void refusedWritesTurnTheJournalOff()
    {
        QFETCH(QString, fault);
        const QString dayFile = journalFolder() + "/" + journalFileName(QDate::currentDate());
        std::optional<FullFolder> full;
        if (fault == "pipe")
            QVERIFY(QDir().mkpath(journalFolder()) && ::mkfifo(QFile::encodeName(dayFile).constData(), 0644) == 0);
        if (fault == "nearly full" && !full.emplace(env.folder(), 4096).skipReason().isEmpty())
            QSKIP(qPrintable(full->skipReason()));
        TestHost host(env, true);
        ReceivePath receive(host);
        JournalPart part(host);
        connect(&receive, &ReceivePath::lineTextShown, &part, &JournalPart::recordShown);
        std::optional<ReadOnlyFolder> readOnly;
        if (fault == "read-only folder" && !readOnly.emplace(env.folder()).effective())
            QSKIP("the program folder cannot be made read-only here");
        host.click("lblJournal");
        const QString line = "a line of the journal " + QString(80, 'x');
        if (full) {
            QVERIFY(part.journal().isOn() && host.scripted.asked.isEmpty());
            for (int i = 0; i < 60; ++i)
                host.box.write(line.toLatin1() + "\r\n");
        }
        QTRY_COMPARE(host.scripted.asked.size(), 1);
        const ScriptedDialogs::Asked said = host.scripted.asked[0];
        const QString cause = fault == "pipe" ? kDeviceNotFile : QString::fromLocal8Bit(std::strerror(ENOSPC));
        QVERIFY2(said.icon == Dialogs::Icon::Exclamation
                     && said.text.startsWith("The traffic journal cannot be written to " + journalFolder())
                     && (fault == "read-only folder" || said.text.contains(cause)),
                 qPrintable(said.text));
        QVERIFY(!part.journal().isOn() && part.command()->captionColor() == QColor(0xFFFFFF));
        QCOMPARE(host.store.get("Journal", "On"), QString("0"));

        host.box.write("still here\r\n");
        host.link().send("typed\r");
        QTRY_VERIFY(host.terminal().lineText().contains("still here"));
        QCOMPARE(host.box.waitForBytes(6, 2000), QByteArray("typed\r"));
        QTest::qWait(50);
        QCOMPARE(host.scripted.asked.size(), 1);
        if (!full)
            return;

        // Once there is room again, the next line is one of its own.
        QVERIFY2(env.readFile("\\journal/" + QFileInfo(dayFile).fileName()).endsWith(line.toLatin1() + "\r\n"),
                 "the file ends inside a line");
        QVERIFY(QFile::remove(env.folder() + "/" + FullFolder::kFiller));
        host.click("lblJournal");
        host.box.write("after the disk had room\r\n");
        QTRY_COMPARE(journalLines(QDate::currentDate()).last().mid(8), QString(" RX after the disk had room"));
    }
};

VORNAK_TEST_MAIN(JournalTest)
#include "tst_journal.moc"
