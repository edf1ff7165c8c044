// The phonebook files: the 124-byte slot, the CSV line, reading what is sound
// from damaged files, rewriting in place, and replacing the three files
// together or not at all.
#include "support/TestEnvironment.h"

#include "directory/PhonebookFile.h"
#include "directory/PhonebookRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

PhonebookRecord makeRecord(qint16 id, const QString& number, const QString& name, qint16 check = 0)
{
    PhonebookRecord record;
    record.ID = id;
    record.setNumber(number);
    record.setName(name);
    record.Check = check;
    record.ChangeDate = "04.12.2026";
    return record;
}

QByteArray slotsOf(const QVector<PhonebookRecord>& records)
{
    QByteArray bytes;
    for (const PhonebookRecord& record : records)
        bytes += encodeSlot(record);
    return bytes;
}

// Files of the program folder other than the three directory files and
// the shipped defaults: left-over temporaries would show up here.
// Files of the folder that are neither shipped defaults nor the three
// directory files: leftovers of a write.
QStringList strayFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& shipped : QDir(":/defaults").entryList(QDir::Files))
        names.removeAll(shipped);
    names.removeAll("phonebook.txt");
    names.removeAll("phonebook.csv");
    names.removeAll("phonebook-backup.txt");
    return names;
}

} // namespace

class PhonebookFilesTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    DirectoryFiles files() const { return DirectoryFiles::in(env.makeState().folder); }

private slots:
    void init() { env.reset(); }

    void slotLayout()
    {
        PhonebookRecord record = makeRecord(1, "12345", "Meier", 1);
        record.RsGr1 = -2;
        record.RsGr2 = 1;
        record.RsGr4 = 32767;
        record.SubsNr = 300;
        const QByteArray slot = encodeSlot(record);
        QCOMPARE(slot.size(), 124);
        QCOMPARE(slot.mid(0, 2), QByteArray("\x01\x00", 2));
        QCOMPARE(slot.mid(2, 12), QByteArray("12345       "));
        QCOMPARE(slot.mid(14, 40), QByteArray("Meier") + QByteArray(35, ' '));
        QCOMPARE(slot.mid(54, 12), QByteArray("\x01\x00\xFE\xFF\x01\x00\x00\x00\xFF\x7F\x2C\x01", 12));
        // The 4th of December 2026: length 10 at 66-67, the text at 68-77.
        QCOMPARE(slot.mid(66, 2), QByteArray("\x0A\x00", 2));
        QCOMPARE(slot.mid(68, 10), QByteArray("04.12.2026"));
        QCOMPARE(slot.mid(78), QByteArray(46, '\0'));
        QCOMPARE(decodeSlot(slot.constData()), record);

        // Cut at 12 and 40 characters; one byte per character.
        PhonebookRecord longer = makeRecord(-7, "1234567890123", QString(45, QChar('x')));
        longer.setName(QString::fromUtf8("Müller ") + QString(40, QChar('y')));
        const QByteArray cut = encodeSlot(longer);
        QCOMPARE(cut.mid(0, 2), QByteArray("\xF9\xFF", 2));
        QCOMPARE(cut.mid(2, 12), QByteArray("123456789012"));
        QCOMPARE(cut.mid(14, 40), QByteArray("M\xFCller ", 7) + QByteArray(33, 'y'));
        QCOMPARE(decodeSlot(cut.constData()).Name, longer.Name);
        // Letters beyond the single-byte set: the base letter, else "?".
        QCOMPARE(toPhonebookBytes(QString::fromUtf8("Dvořák Łódź")), QByteArray("Dvor\xE1k ?\xF3" "dz"));

        // A ChangeDate longer than the slot is cut at the slot's end.
        record.ChangeDate = QString(80, QChar('7'));
        const QByteArray full = encodeSlot(record);
        QCOMPARE(full.size(), 124);
        QCOMPARE(full.mid(66, 2), QByteArray("\x38\x00", 2));
        QCOMPARE(decodeSlot(full.constData()).ChangeDate, QString(56, QChar('7')));
    }

    void csvLines()
    {
        // One space, 1, comma, 12345 and 7 spaces, comma, Meier and 35 spaces, CR LF.
        QCOMPARE(csvLine(makeRecord(1, "12345", "Meier")),
                 QByteArray(" 1,12345       ,Meier" + QByteArray(35, ' ') + "\r\n"));
        QCOMPARE(csvLine(makeRecord(-3, "9", "a,b")), QByteArray("-3,9           ,a,b" + QByteArray(37, ' ') + "\r\n"));
        QCOMPARE(csvLine(makeRecord(27, "123456789012345", "Meier")).left(17), QByteArray(" 27,123456789012,"));
    }

    void readingDamagedFiles()
    {
        // Missing: an empty directory, and reading creates nothing.
        PhonebookContents none = readPhonebook(files().phonebook);
        QVERIFY(none.records.isEmpty());
        QVERIFY(none.error.isEmpty());
        QVERIFY(!QFile::exists(files().phonebook));

        // Three slots and 50 bytes of a fourth: three records.
        const QVector<PhonebookRecord> three = {makeRecord(1, "1", "A"), makeRecord(2, "2", "B"),
                                                makeRecord(3, "3", "C")};
        env.writeFile("\\phonebook.txt", slotsOf(three) + QByteArray(50, 'z'));
        PhonebookContents cut = readPhonebook(files().phonebook);
        QCOMPARE(cut.records, three);
        QCOMPARE(cut.strayBytes, qint64(50));

        // Date lengths that run past the slot: read up to the slot's end only.
        QByteArray slot = encodeSlot(makeRecord(4, "4", "D"));
        slot[66] = '\xFF';
        slot[67] = '\xFF';
        slot.replace(68, 56, QByteArray(56, 'q'));
        QByteArray second = encodeSlot(makeRecord(5, "5", "E"));
        second[66] = '\x00';
        second[67] = '\x80'; // 32768: negative if it were read as signed
        env.writeFile("\\phonebook.txt", slot + second);
        const PhonebookContents past = readPhonebook(files().phonebook);
        QCOMPARE(past.records.size(), 2);
        QCOMPARE(past.records[0].ChangeDate, QString(56, QChar('q')));
        QCOMPARE(past.records[1].ChangeDate.size(), 56);
        QCOMPARE(past.records[1].Name.trimmed(), QString("E"));

        // Random bytes: every complete slot is a record, nothing more.
        QRandomGenerator random(1234);
        QByteArray noise(124 * 40 + 77, '\0');
        for (char& byte : noise)
            byte = char(random.bounded(256));
        env.writeFile("\\phonebook.txt", noise);
        const PhonebookContents garbage = readPhonebook(files().phonebook);
        QCOMPARE(garbage.records.size(), 40);
        QCOMPARE(garbage.strayBytes, qint64(77));
        for (const PhonebookRecord& record : garbage.records) {
            QCOMPARE(record.Number.size(), 12);
            QCOMPARE(record.Name.size(), 40);
            QVERIFY(record.ChangeDate.size() <= 56);
        }

        // A phonebook.txt that is not a readable file says why.
        QFile::remove(files().phonebook);
        QDir().mkdir(files().phonebook);
        QVERIFY(!readPhonebook(files().phonebook).error.isEmpty());
    }

    void rewriteInPlaceTouchesOnlyTheRecords()
    {
        // Slots whose padding holds old bytes, and a cut-off tail.
        QVector<PhonebookRecord> records;
        QByteArray bytes;
        for (int i = 0; i < 4; ++i) {
            PhonebookRecord record = makeRecord(qint16(i + 1), QString::number(500 + i), "Name" + QString::number(i));
            record.RsGr2 = qint16(i % 2);
            record.RsGr3 = 9;
            records << record;
            QByteArray slot = encodeSlot(record);
            slot.replace(78, 46, QByteArray(46, char(0xA0 + i)));
            bytes += slot;
        }
        bytes += "TAIL";
        env.writeFile("\\phonebook.txt", bytes);

        // The list windows' save: IDs from 0, favourites set, the rest kept.
        QString error;
        QVERIFY2(rewritePhonebook(files().phonebook,
                                  [](int index, PhonebookRecord& record) {
                                      record.ID = qint16(index);
                                      record.Check = index == 2 ? 1 : 0;
                                  },
                                  &error),
                 qPrintable(error));
        const QByteArray after = env.readFile("\\phonebook.txt");
        QCOMPARE(after.size(), bytes.size());
        QCOMPARE(after.right(4), QByteArray("TAIL"));
        const PhonebookContents contents = readPhonebook(files().phonebook);
        QCOMPARE(contents.records.size(), 4);
        for (int i = 0; i < 4; ++i) {
            PhonebookRecord expected = records[i];
            expected.ID = qint16(i);
            expected.Check = i == 2 ? 1 : 0;
            QCOMPARE(contents.records[i], expected);
            QCOMPARE(after.mid(i * 124 + 78, 46), QByteArray(46, char(0xA0 + i)));
        }
    }

    void writerLeavesExactlyTheNewDirectory()
    {
        QVector<PhonebookRecord> old;
        for (int i = 0; i < 5; ++i)
            old << makeRecord(qint16(i + 1), QString::number(i), "Old");
        QString error;
        QVERIFY(writeDirectoryFiles(files(), old, &error));
        QFile::setPermissions(files().phonebook, QFile::ReadOwner | QFile::WriteOwner);

        const QVector<PhonebookRecord> fresh = {makeRecord(1, "12345", "Meier"), makeRecord(2, "7", "Zorn"),
                                                makeRecord(3, "99", "")};
        QVERIFY2(writeDirectoryFiles(files(), fresh, &error), qPrintable(error));
        const QByteArray phonebook = env.readFile("\\phonebook.txt");
        QCOMPARE(phonebook.size(), 3 * 124);
        QCOMPARE(readPhonebook(files().phonebook).records, fresh);
        QCOMPARE(env.readFile("\\phonebook-backup.txt"), phonebook);
        QCOMPARE(env.readFile("\\phonebook.csv"),
                 csvLine(fresh[0]) + csvLine(fresh[1]) + csvLine(fresh[2]));
        // The user's permissions stay; no temporaries are left behind.
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(files().phonebook).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(strayFiles(env.folder()), QStringList());
    }

    void failedWritesKeepTheOldFiles()
    {
        const QVector<PhonebookRecord> old = {makeRecord(1, "1", "Old"), makeRecord(2, "2", "Older")};
        QString error;
        QVERIFY(writeDirectoryFiles(files(), old, &error));
        const QByteArray oldPhonebook = env.readFile("\\phonebook.txt");
        const QByteArray oldCsv = env.readFile("\\phonebook.csv");
        const QVector<PhonebookRecord> fresh = {makeRecord(1, "3", "New")};

        // phonebook.txt is replaced first; when the backup cannot take its
        // place, the new phonebook.txt and csv are rolled back.
        QFile::remove(files().backup);
        QDir().mkdir(files().backup);
        QVERIFY(!writeDirectoryFiles(files(), fresh, &error));
        QVERIFY(error.contains("phonebook-backup.txt"));
        QCOMPARE(env.readFile("\\phonebook.txt"), oldPhonebook);
        QCOMPARE(env.readFile("\\phonebook.csv"), oldCsv);
        QCOMPARE(strayFiles(env.folder()), QStringList());
        QDir().rmdir(files().backup);
        QVERIFY(writeDirectoryFiles(files(), old, &error));
        const QByteArray oldBackup = env.readFile("\\phonebook-backup.txt");

        // A read-only folder: nothing can be staged, nothing changes.
        const QString parent = QFileInfo(env.folder()).path();
        ::chmod(QFile::encodeName(parent).constData(), 0755);
        ::chmod(QFile::encodeName(env.folder()).constData(), 0555);
        const bool root = ::geteuid() == 0;
        if (root) // root writes anywhere: write as an ordinary user instead
            QVERIFY(::seteuid(65534) == 0);
        const bool written = writeDirectoryFiles(files(), fresh, &error);
        if (root)
            QVERIFY(::seteuid(0) == 0);
        ::chmod(QFile::encodeName(env.folder()).constData(), 0755);
        QVERIFY(!written);
        QVERIFY2(error.contains("phonebook.txt") && error.contains(QDir::toNativeSeparators(env.folder())),
                 qPrintable(error));
        QCOMPARE(env.readFile("\\phonebook.txt"), oldPhonebook);
        QCOMPARE(env.readFile("\\phonebook.csv"), oldCsv);
        QCOMPARE(env.readFile("\\phonebook-backup.txt"), oldBackup);
        QCOMPARE(strayFiles(env.folder()), QStringList());
    }
};

int main(int argc, char** argv)
{
    PhonebookFilesTest test;
    QCoreApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_phonebookfiles.moc"
