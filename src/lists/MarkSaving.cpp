#include "lists/MarkSaving.h"

#include "core/DataFile.h"
#include "core/ProgramFolder.h"
#include "core/TextFiles.h"
#include "directory/AtomicFileSet.h"
#include "directory/PhonebookFile.h"
#include "lists/ReceiverFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kSlot = PhonebookRecord::kSlotSize;

QString where(const QString& path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1 in %2").arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

// The file's bytes; a missing file has none.
std::optional<QByteArray> readBytes(const QString& path, QString* error)
{
    FileBytes file = readFileBytes(path);
    if (file.outcome == FileBytes::Outcome::Missing)
        return QByteArray();
    if (!file.read()) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(where(path), file.problem);
        return std::nullopt;
    }
    return std::move(file.bytes);
}

bool sameSubscriber(const PhonebookRecord& a, const PhonebookRecord& b)
{
    return a.Number == b.Number && a.Name == b.Name;
}

} // namespace

std::optional<QString> refusedWrite(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return QStringLiteral("%1 is read-only or not a file and cannot be replaced.").arg(where(path));
    return std::nullopt;
}

std::optional<SavedMarks> saveMarks(const ProgramFolder& folder, ListMark mark, const QVector<qint16>& checkState,
                                    const QVector<PhonebookRecord>& shown, QString* error)
{
    const QString phonebookPath = folder.file("\\" + kPhonebookName);
    const QString receiverPath = folder.file("\\" + kReceiverFileName);
    const bool writesReceivers = mark == ListMark::Receiver;

    std::optional<QByteArray> bytes = readBytes(phonebookPath, error);
    if (!bytes)
        return std::nullopt;
    const qsizetype slotCount = bytes->size() / kSlot;
    bool unchanged = slotCount == shown.size();
    for (qsizetype n = 0; unchanged && n < slotCount; ++n)
        unchanged = sameSubscriber(decodeSlot(bytes->constData() + n * kSlot), shown[n]);
    if (!unchanged) {
        *error = QStringLiteral("%1 has changed since the list was loaded.").arg(where(phonebookPath));
        return std::nullopt;
    }
    for (const QString& path : writesReceivers ? QStringList{phonebookPath, receiverPath} : QStringList{phonebookPath}) {
        if (const auto refused = refusedWrite(path)) {
            *error = *refused;
            return std::nullopt;
        }
    }

    SavedMarks saved;
    saved.records.reserve(slotCount);
    QStringList receivers;
    for (qsizetype n = 0; n < slotCount; ++n) {
        char* slot = bytes->data() + n * kSlot;
        const PhonebookRecord record = savedRecord(decodeSlot(slot), int(n), mark, checkState);
        const QByteArray encoded = encodeRecord(record);
        std::copy(encoded.begin(), encoded.end(), slot);
        if (writesReceivers && n < checkState.size() && checkState[n] == 1)
            receivers << receiverNumber(record.Number);
        saved.records << record;
    }

    AtomicFileSet files;
    if (!files.stage(phonebookPath, *bytes, error))
        return std::nullopt;
    if (writesReceivers) {
        saved.receiverLines = receiverFileLines(receivers);
        if (!files.stage(receiverPath, encodeFileText(receiverFileText(saved.receiverLines)), error))
            return std::nullopt;
    }
    if (!files.commit(error))
        return std::nullopt;
    return saved;
}
