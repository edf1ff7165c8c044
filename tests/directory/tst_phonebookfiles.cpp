// The phonebook files: the 124-byte slot, the CSV line, reading what is sound
// from damaged files, rewriting the records alone, and replacing the three
// files together or not at all (a read-only folder: the update window's test).
#include "DirectoryFixtures.h"
#include "support/TestMain.h"

#include <sys/stat.h>

namespace {

QByteArray slotsOf(const QVector<PhonebookRecord>& records)
{
    QByteArray bytes;
    for (const PhonebookRecord& record : records)
        bytes += encodeSlot(record);
    return bytes;
}

} // namespace

class PhonebookFilesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    QString phonebook() const { return directoryFiles(env).phonebook; }

private slots:
    void init() { env.reset(); }

    void slotAndCsvLayout()
    {
        PhonebookRecord full = record(1, "12345", "Meier", 1, 1);
        full.RsGr1 = -2;
        full.RsGr4 = 32767;
        full.SubsNr = 300;
        // ID, number, name, the six flags, the date's length and text, zeros.
        const QByteArray slot = encodeSlot(full);
        QCOMPARE(slot, QByteArray("\x01\x00" "12345       " "Meier", 19) + QByteArray(35, ' ')
                           + QByteArray("\x01\x00\xFE\xFF\x01\x00\x00\x00\xFF\x7F\x2C\x01" "\x0A\x00" "04.12.2026", 24)
                           + QByteArray(46, '\0'));
        QCOMPARE(decodeSlot(slot.constData()), full);

        // Cut at 12 and 40 characters; one byte per character, letters beyond
        // that the base letter, else "?".
        const PhonebookRecord longer = record(-7, "1234567890123", QString::fromUtf8("Müller ") + QString(40, 'y'));
        const QByteArray cut = encodeSlot(longer);
        QCOMPARE(cut.left(54), QByteArray("\xF9\xFF" "123456789012" "M\xFCller ", 21) + QByteArray(33, 'y'));
        QCOMPARE(decodeSlot(cut.constData()).Name, longer.Name);
        QCOMPARE(toPhonebookBytes(QString::fromUtf8("Dvořák Łódź")), QByteArray("Dvor\xE1k ?\xF3" "dz"));

        // A ChangeDate longer than the slot is cut at the slot's end.
        full.ChangeDate = QString(80, '7');
        const QByteArray longDate = encodeSlot(full);
        QCOMPARE(longDate.size(), 124);
        QCOMPARE(longDate.mid(66, 2), QByteArray("\x38\x00", 2));
        QCOMPARE(decodeSlot(longDate.constData()).ChangeDate, QString(56, '7'));

        QCOMPARE(csvLine(record(1, "12345", "Meier")), " 1,12345       ,Meier" + QByteArray(35, ' ') + "\r\n");
        QCOMPARE(csvLine(record(-3, "9", "a,b")), "-3,9           ,a,b" + QByteArray(37, ' ') + "\r\n");
        QCOMPARE(csvLine(record(27, "123456789012345", "M")).left(17), QByteArray(" 27,123456789012,"));
    }

    void readingDamagedFiles()
    {
        // Missing: an empty directory, and the empty file is made.
        const PhonebookContents none = readPhonebook(phonebook());
        QVERIFY(none.records.isEmpty() && none.error.isEmpty());
        QVERIFY(QFile::exists(phonebook()) && QFileInfo(phonebook()).size() == 0);

        // Three slots and 50 bytes of a fourth: three records.
        const QVector<PhonebookRecord> three = {record(1, "1", "A"), record(2, "2", "B"), record(3, "3", "C")};
        env.writeFile("\\phonebook.txt", slotsOf(three) + QByteArray(50, 'z'));
        const PhonebookContents cut = readPhonebook(phonebook());
        QCOMPARE(cut.records, three);
        QCOMPARE(cut.strayBytes, qint64(50));

        // Date lengths that run past the slot (65535, and 32768, negative if
        // read as signed): read up to the slot's end only.
        QByteArray bytes = slotsOf({record(4, "4", "D"), record(5, "5", "E")});
        bytes.replace(66, 58, "\xFF\xFF" + QByteArray(56, 'q'));
        bytes[124 + 66] = '\x00';
        bytes[124 + 67] = '\x80';
        env.writeFile("\\phonebook.txt", bytes);
        const PhonebookContents past = readPhonebook(phonebook());
        QCOMPARE(past.records.size(), 2);
        QCOMPARE(past.records[0].ChangeDate, QString(56, 'q'));
        QCOMPARE(past.records[1].ChangeDate.size(), 56);
        QCOMPARE(past.records[1].Name.trimmed(), QString("E"));

        // A phonebook.txt that is not a readable file says why.
        QFile::remove(phonebook());
        QDir().mkdir(phonebook());
        QVERIFY(!readPhonebook(phonebook()).error.isEmpty());
    }

    void rewriteTouchesOnlyTheRecords()
    {
        // Slots whose padding holds old bytes, and a cut-off tail.
        QVector<PhonebookRecord> records;
        auto fileOf = [&] {
            QByteArray bytes;
            for (int i = 0; i < records.size(); ++i)
                bytes += encodeSlot(records[i]).replace(78, 46, QByteArray(46, char(0xA0 + i)));
            return bytes + "TAIL";
        };
        for (int i = 0; i < 4; ++i) {
            records << record(i + 1, QString::number(500 + i), "Name" + QString::number(i), 0, qint16(i % 2));
            records.last().RsGr3 = 9;
        }
        env.writeFile("\\phonebook.txt", fileOf());

        // The list windows' save: IDs from 0, favourites set, the rest kept.
        const auto listSave = [](int index, PhonebookRecord& record) {
            record.ID = qint16(index);
            record.Check = index == 2 ? 1 : 0;
        };
        QString error;
        QVERIFY2(rewritePhonebook(phonebook(), listSave, &error), qPrintable(error));
        for (int i = 0; i < 4; ++i)
            listSave(i, records[i]);
        QCOMPARE(env.readFile("\\phonebook.txt"), fileOf());
    }

    void writerLeavesExactlyTheNewDirectory()
    {
        writeDirectory(env, QVector<PhonebookRecord>(5, record(1, "0", "Old")));
        QFile::setPermissions(phonebook(), QFile::ReadOwner | QFile::WriteOwner);

        const QVector<PhonebookRecord> fresh = {record(1, "12345", "Meier"), record(2, "7", "Zorn"),
                                                record(3, "99", "")};
        writeDirectory(env, fresh);
        const Snapshot after = snapshot(env);
        QCOMPARE(after.phonebook, slotsOf(fresh));
        QCOMPARE(after.backup, after.phonebook);
        QCOMPARE(after.csv, csvLine(fresh[0]) + csvLine(fresh[1]) + csvLine(fresh[2]));
        QCOMPARE(after.strays, QStringList());
        // The user's permissions stay.
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(phonebook()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
    }

    void failedWritesKeepTheOldFiles()
    {
        // phonebook.txt is replaced first; when the backup cannot take its
        // place, the new phonebook.txt and csv are rolled back.
        writeDirectory(env, {record(1, "1", "Old"), record(2, "2", "Older")});
        const Snapshot before = snapshot(env);
        const DirectoryFiles files = directoryFiles(env);
        QFile::remove(files.backup);
        QDir().mkdir(files.backup);
        QString error;
        QVERIFY(!writeDirectoryFiles(files, {record(1, "3", "New")}, &error));
        QVERIFY(error.contains("phonebook-backup.txt"));
        QDir().rmdir(files.backup);
        QCOMPARE(snapshot(env), (Snapshot{before.phonebook, before.csv, QByteArray(), {}}));
    }
};

VORNAK_TEST_MAIN(PhonebookFilesTest)

#include "tst_phonebookfiles.moc"
