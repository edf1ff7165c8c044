// The message archive without a window: cutting received text into
// messages, writing them line by line, the index and its rebuilding, the
// search, and a disk that fills up.
#include "faults/FolderFaults.h"
#include "support/TestEnvironment.h"
#include "support/TestMain.h"

#include "archive/ArchiveRecorder.h"
#include "archive/ArchiveSearch.h"
#include "archive/ArchiveStore.h"
#include "archive/ArchiveWriter.h"
#include "archive/MessageCutter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

const QDateTime kBase(QDate(2026, 8, 24), QTime(14, 0, 0));

// What the cutter decided, written compactly: S<seconds> a start,
// T'text' text (| a line end, <07> a control character), F'line' the first
// line, E<seconds> an end.
QString described(const CutEvents& events)
{
    QStringList words;
    const auto readable = [](QString text) {
        text.replace("\r\n", "|");
        QString out;
        for (const QChar c : text)
            out += c.unicode() < 32 ? QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QChar('0')) : QString(c);
        return out;
    };
    for (const CutEvent& event : events) {
        switch (event.kind) {
        case CutEvent::Kind::Started: words << "S" + QString::number(kBase.secsTo(event.time)); break;
        case CutEvent::Kind::Text: words << "T'" + readable(event.text) + "'"; break;
        case CutEvent::Kind::FirstLine: words << "F'" + event.text + "'"; break;
        case CutEvent::Kind::Ended: words << "E" + QString::number(kBase.secsTo(event.time)); break;
        }
    }
    return words.join(' ');
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class ArchiveTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString archive() const { return env.folder() + "/archive"; }

private slots:
    void init() { env.reset(); }

    void cuttingMessages()
    {
        // Steps at seconds after kBase: feed text ("<" in front: it replaced
        // the window's last character), a quiet check, or a cut (a dial, a
        // close, the port closing). The quiet time is 10 s.
        struct Step {
            enum { Feed, Replacing, Check, Cut } kind;
            int at;
            QString text;
        };
        const struct {
            const char* name;
            QList<Step> steps;
            QString decided;
        } cases[] = {
            {"the quiet time ends a message at its last text",
             {{Step::Feed, 0, "ZCZC 1\r\nfair\r\n"}, {Step::Feed, 3, "NNNN"}, {Step::Check, 12, ""}, {Step::Check, 13, ""}},
             "S0 F'ZCZC 1' T'ZCZC 1|fair|' T'NNNN' E3"},
            {"text after the quiet ends the old message and starts a new one",
             {{Step::Feed, 0, "a\r\n"}, {Step::Feed, 20, "b\r\n"}},
             "S0 F'a' T'a|' E0 S20 F'b' T'b|'"},
            {"a cut ends the message at once",
             {{Step::Feed, 0, "a"}, {Step::Cut, 1, ""}, {Step::Feed, 1, "b"}, {Step::Cut, 2, ""}, {Step::Cut, 3, ""}},
             "S0 F'a' T'a' E0 S1 F'b' T'b' E1"},
            {"line ends and blanks alone start nothing, but open the next message",
             {{Step::Feed, 0, "\r\n \r\n"}, {Step::Feed, 2, "\x07"}, {Step::Feed, 4, "hello\r\n"}},
             "S0 F'hello' T'| |<07>hello|'"},
            {"held blanks that nothing follows are dropped",
             {{Step::Feed, 0, "\r\n"}, {Step::Check, 11, ""}, {Step::Feed, 12, "x"}, {Step::Cut, 13, ""}},
             "S12 F'x' T'x' E12"},
            {"a backspace takes the unfinished line's last character, not a written line's",
             {{Step::Feed, 0, "abc\r\nde"}, {Step::Replacing, 1, "X\r\n"}, {Step::Replacing, 2, "Y"}, {Step::Cut, 3, ""}},
             "S0 F'abc' T'abc|' T'dX|' T'Y' E2"},
            {"the first line is the first with something visible, control characters as blanks",
             {{Step::Feed, 0, "\r\n  \x07 \r\n\tZCZC\tabc  \r\nrest"}, {Step::Cut, 1, ""}},
             "S0 F'ZCZC abc' T'|  <07> |<09>ZCZC<09>abc  |' T'rest' E0"},
            {"a message of one unfinished line gets its first line at its end",
             {{Step::Feed, 0, "  only"}, {Step::Check, 10, ""}},
             "S0 F'only' T'  only' E0"},
        };
        for (const auto& test : cases) {
            MessageCutter cutter(10'000);
            CutEvents events;
            for (const Step& step : test.steps) {
                const Moment at{kBase.addSecs(step.at), step.at * 1000LL};
                if (step.kind == Step::Feed || step.kind == Step::Replacing)
                    events += cutter.feed(step.text, step.kind == Step::Replacing, at);
                else if (step.kind == Step::Check)
                    events += cutter.quietCheck(at);
                else
                    events += cutter.cut();
            }
            QVERIFY2(described(events) == test.decided, qPrintable(QString(test.name) + ": " + described(events)));
        }

        // How long the owner's timer waits: the quiet left after the last text.
        MessageCutter cutter(10'000);
        QCOMPARE(cutter.msUntilQuiet({kBase, 0}), -1);
        cutter.feed(" ", false, {kBase, 1000});
        QCOMPARE(cutter.msUntilQuiet({kBase, 4000}), 7000);
        cutter.feed("x", false, {kBase, 5000});
        QCOMPARE(cutter.msUntilQuiet({kBase, 5500}), 9500);
        QCOMPARE(cutter.msUntilQuiet({kBase, 99'000}), 0);
    }

    // The recorder writes each line the moment it is complete, ends a
    // message at a dial and after the quiet time, and the file and the
    // index say the same as the recorder.
    void recordingLineByLine()
    {
        QDateTime wall = kBase;
        ArchiveRecorder recorder(archive(), [&wall] { return wall; });
        recorder.setQuietMs(300);
        QSignalSpy ended(&recorder, &ArchiveRecorder::messageEnded);
        const ArchiveStore store(archive());

        recorder.recordShown("ZCZC 1\r\nfai", false);
        const QString first = store.absolute("2026/08/2026-08-24_14-00-00.txt");
        QCOMPARE(fileBytes(first), QByteArray("ZCZC 1\r\n"));
        wall = kBase.addSecs(2);
        recorder.recordShown(QString::fromLatin1("r \xe9t\xe9\r\nNNNN"), false);
        QCOMPARE(fileBytes(first), QByteArray("ZCZC 1\r\nfair \xe9t\xe9\r\n"));
        QVERIFY(!QFile::exists(store.indexPath()));
        // Text sent is no cut; a dial is.
        recorder.noteSent("abc\r");
        QVERIFY(recorder.inMessage());
        wall = kBase.addSecs(5);
        recorder.noteSent("\x01" " 012345");
        QVERIFY(!recorder.inMessage());
        QCOMPARE(fileBytes(first), QByteArray("ZCZC 1\r\nfair \xe9t\xe9\r\nNNNN"));

        // Two more messages in the same second: the second name is told apart.
        recorder.recordShown("nr? 012345\r\n", false);
        recorder.noteSent("\x13");
        recorder.recordShown("cleared\r\n", false);
        QTRY_COMPARE(ended.size(), 3);
        QCOMPARE(fileBytes(store.absolute("2026/08/2026-08-24_14-00-05.txt")), QByteArray("nr? 012345\r\n"));
        QCOMPARE(fileBytes(store.absolute("2026/08/2026-08-24_14-00-05_2.txt")), QByteArray("cleared\r\n"));

        // The index: one line per message, as the recorder reported them; a
        // file's modification time is its message's end.
        const ArchiveStore::Listing listing = store.list(false);
        QCOMPARE(listing.fromFiles, 0);
        QVector<ArchivedMessage> reported;
        for (const QList<QVariant>& signal : std::as_const(ended))
            reported.prepend(signal[0].value<ArchivedMessage>());
        QCOMPARE(listing.messages, reported);
        const ArchivedMessage& oldest = listing.messages.last();
        QCOMPARE(oldest.start, kBase);
        QCOMPARE(oldest.end, kBase.addSecs(2));
        QCOMPARE(oldest.bytes, fileBytes(first).size());
        QCOMPARE(oldest.firstLine, QString("ZCZC 1"));
        QCOMPARE(QFileInfo(first).lastModified(), oldest.end);
    }

    // The index can be rebuilt from the files alone; a listing puts
    // messages the index lacks into it and drops the ones whose file is gone.
    void indexRebuiltFromTheFiles()
    {
        {
            ArchiveWriter writer(archive());
            const QDateTime starts[] = {kBase, kBase.addDays(40), kBase.addDays(40).addSecs(90)};
            for (int i = 0; i < 3; ++i) {
                writer.begin(starts[i]);
                writer.append(QStringLiteral("\r\nmessage %1 \t of three\r\nsecond line\r\n").arg(i + 1));
                writer.setFirstLine(QStringLiteral("message %1 of three").arg(i + 1));
                writer.finish(starts[i].addSecs(7));
            }
        }
        const ArchiveStore store(archive());
        const ArchiveStore::Listing written = store.list(false);
        QCOMPARE(written.messages.size(), 3);
        QCOMPARE(written.messages.first().file, QString("2026/10/2026-10-03_14-01-30.txt"));

        QVERIFY(QFile::remove(store.indexPath()));
        ArchiveStore::Listing rebuilt = store.list(true);
        QVERIFY(rebuilt.indexMissing && rebuilt.indexWritten && rebuilt.fromFiles == 3);
        QCOMPARE(rebuilt.messages, written.messages);
        // Read back from the index it wrote: the same again, no file read.
        rebuilt = store.list(false);
        QVERIFY(!rebuilt.indexMissing && rebuilt.fromFiles == 0);
        QCOMPARE(rebuilt.messages, written.messages);

        // A message copied in by hand, a line for a file that is gone, and
        // lines that are no index lines.
        QDir().mkpath(archive() + "/2025/01");
        env.writeFile("/archive/2025/01/2025-01-02_03-04-05.txt", "\r\n copied \r\n");
        QFile index(store.indexPath());
        QVERIFY(index.open(QIODevice::Append));
        index.write(ArchiveStore::indexLine({"2024/02/2024-02-02_02-02-02.txt", kBase, kBase, 5, "gone"}).toLatin1() + "\r\n");
        index.write("not an index line\r\n\r\n");
        index.close();
        const ArchiveStore::Listing repaired = store.list(true);
        QVERIFY(repaired.indexWritten && repaired.fromFiles == 1 && repaired.vanished == 1);
        QCOMPARE(repaired.messages.size(), 4);
        QCOMPARE(repaired.messages.last().firstLine, QString("copied"));
        QCOMPARE(repaired.messages.last().start, QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
        QCOMPARE(store.list(false).fromFiles, 0);

        // Lines that do not describe a message of the archive.
        const QString good = ArchiveStore::indexLine(written.messages.first());
        QVERIFY(ArchiveStore::parseIndexLine(good));
        const QString bytes = QStringLiteral("\t%1\t").arg(written.messages.first().bytes);
        const QStringList bad = {good.section('\t', 0, 3), good + "\textra", QString(good).replace("2026-10-03T", "2026-13-03T"),
                                 QString(good).replace(bytes, "\t-1\t"), QString(good).replace("2026/10/", "../10/"),
                                 QString(good).replace("2026-10-03_14-01-30.txt", "notes.txt")};
        for (const QString& line : bad)
            QVERIFY2(!ArchiveStore::parseIndexLine(line), qPrintable(line));
    }

    void searchingAnyText()
    {
        QVector<ArchivedMessage> messages;
        const QStringList texts = {"ZCZC 4711\r\nWetter: sonnig in K\u00f6ln\r\nNNNN\r\n",
                                   "nr? 012345\r\n012345 demo d\r\nGreetings from the Hague\r\n",
                                   "klkl\r\nhere is 12345 vornak d\r\n"};
        for (int i = 0; i < texts.size(); ++i)
            messages.append({QStringLiteral("2026/08/m%1.txt").arg(i), kBase.addDays(i), kBase.addDays(i), 10,
                             firstLineOf(texts[i])});
        ArchiveSearch search;
        search.setMessages(messages);
        // Before the texts are read: the time and the first line only.
        QCOMPARE(search.find("4711"), QVector<int>({0}));
        QCOMPARE(search.find("sonnig"), QVector<int>());
        for (int i = 0; i < texts.size(); ++i)
            search.setText(i, texts[i]);
        const std::pair<QString, QVector<int>> queries[] = {
            {"", {0, 1, 2}},
            {"  ", {0, 1, 2}},
            {"SONNIG", {0}},
            {"K\u00d6LN", {0}},                // case-folded beyond ASCII
            {"012345 hague", {1}},             // every word, anywhere
            {"012345 weather", {}},
            {"2026-08-25", {1}},               // the date of its start
            {"2026-08-2 14:00", {0, 1, 2}},
            {"klkl\r\nhere", {2}},              // words on lines of their own
            {"vornak", {2}},
        };
        for (const auto& [query, rows] : queries)
            QVERIFY2(search.find(query) == rows, qPrintable(query));

        // A message that ends while the archive is shown goes on top.
        search.insertMessage(0, {"2026/08/new.txt", kBase.addDays(9), kBase.addDays(9), 3, "new"}, "fresh Vornak news");
        QCOMPARE(search.find("vornak"), QVector<int>({0, 3}));
        search.removeMessage(0);
        QCOMPARE(search.find("vornak"), QVector<int>({2}));
        QCOMPARE(search.textsKnown(), 3);
    }

    // A full disk: nothing written before is lost, what did not fit waits
    // in memory, and is written, in order and once, when there is room.
    void fullDiskLosesNoLine()
    {
        QDir().mkpath(archive());
        FullFolder full(archive(), 4096);
        if (!full.skipReason().isEmpty())
            QSKIP(qPrintable(full.skipReason()));
        ArchiveWriter writer(archive());
        writer.setRetryInterval(200);
        QSignalSpy failed(&writer, &ArchiveWriter::failed);
        QSignalSpy recovered(&writer, &ArchiveWriter::recovered);
        const QString file = writer.begin(kBase);
        writer.append("line 1\r\n");
        QByteArray expected = "line 1\r\n";
        for (int i = 2; i < 400; ++i) {
            const QByteArray line = QByteArray("line ") + QByteArray::number(i) + " of a long message\r\n";
            writer.append(QString::fromLatin1(line));
            expected += line;
        }
        writer.setFirstLine("line 1");
        writer.finish(kBase.addSecs(60));
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toString().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        QVERIFY(writer.holdsBack());
        const QByteArray onDisk = fileBytes(writer.store().absolute(file));
        QVERIFY2(onDisk.size() >= 8 && onDisk.size() < expected.size() && expected.startsWith(onDisk),
                 qPrintable(QString::number(onDisk.size())));

        // Room again: the retry writes the rest.
        QVERIFY(QFile::remove(archive() + "/" + FullFolder::kFiller));
        QTRY_COMPARE(recovered.size(), 1);
        QCOMPARE(recovered[0][0].toLongLong(), 0);
        QVERIFY(!writer.holdsBack());
        QCOMPARE(fileBytes(writer.store().absolute(file)), expected);
        const QVector<ArchivedMessage> listed = writer.store().list(false).messages;
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed[0].bytes, expected.size());
    }
};

VORNAK_TEST_MAIN(ArchiveTest)
#include "tst_archive.moc"
