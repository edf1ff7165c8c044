#include "directory/PhonebookFile.h"

#include "core/DataFile.h"
#include "core/ProgramFolder.h"
#include "directory/AtomicFileSet.h"

#include <QFile>

namespace {

constexpr int kSlot = PhonebookRecord::kSlotSize;

// The file's bytes. A missing file reads as empty and is created empty, the
// way opening it for record access makes it.
bool readBytes(const QString& path, QByteArray* bytes, QString* error)
{
    FileBytes file = readFileBytes(path);
    if (file.outcome == FileBytes::Outcome::Missing) {
        bytes->clear();
        QFile made(path);
        if (!made.open(QIODevice::WriteOnly)) {
            *error = made.errorString();
            return false;
        }
        return true;
    }
    if (!file.read()) {
        *error = file.problem;
        return false;
    }
    *bytes = std::move(file.bytes);
    return true;
}

} // namespace

DirectoryFiles DirectoryFiles::in(const ProgramFolder& folder)
{
    return {folder.file("\\phonebook.txt"), folder.file("\\phonebook.csv"), folder.file("\\phonebook-backup.txt")};
}

PhonebookContents readPhonebook(const QString& path)
{
    PhonebookContents contents;
    QByteArray bytes;
    if (!readBytes(path, &bytes, &contents.error))
        return contents;
    const qsizetype slotCount = bytes.size() / kSlot;
    contents.records.reserve(slotCount);
    for (qsizetype n = 0; n < slotCount; ++n)
        contents.records.append(decodeSlot(bytes.constData() + n * kSlot));
    contents.strayBytes = bytes.size() - slotCount * kSlot;
    return contents;
}

bool rewritePhonebook(const QString& path, const std::function<void(int index, PhonebookRecord&)>& change,
                      QString* error)
{
    QByteArray bytes;
    if (!readBytes(path, &bytes, error))
        return false;
    const qsizetype slotCount = bytes.size() / kSlot;
    for (qsizetype n = 0; n < slotCount; ++n) {
        char* slot = bytes.data() + n * kSlot;
        PhonebookRecord record = decodeSlot(slot);
        change(int(n), record);
        const QByteArray encoded = encodeRecord(record);
        std::copy(encoded.begin(), encoded.end(), slot);
    }
    AtomicFileSet files;
    return files.stage(path, bytes, error) && files.commit(error);
}

bool writeDirectoryFiles(const DirectoryFiles& files, const QVector<PhonebookRecord>& records, QString* error)
{
    QByteArray phonebook;
    phonebook.reserve(records.size() * kSlot);
    QByteArray csv;
    csv.reserve(records.size() * 60);
    for (const PhonebookRecord& record : records) {
        phonebook += encodeSlot(record);
        csv += csvLine(record);
    }
    AtomicFileSet set;
    return set.stage(files.phonebook, phonebook, error) && set.stage(files.csv, csv, error)
           && set.stage(files.backup, phonebook, error) && set.commit(error);
}
