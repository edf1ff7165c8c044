#include "archive/ArchiveStore.h"

#include "archive/MessageCutter.h"
#include "core/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const QString kNameFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QByteArray kIndexHeader = "# Vornak message archive: start, end, bytes, file, first line\r\n";
constexpr int kFirstLineLimit = 200;

QString isoWithOffset(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

bool newestFirst(const ArchivedMessage& a, const ArchivedMessage& b)
{
    if (a.start != b.start)
        return a.start > b.start;
    return a.file > b.file;
}

const QRegularExpression& fileNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:_\\d+)?\\.txt$"));
    return pattern;
}

} // namespace

QString firstLineOf(QStringView text)
{
    for (QStringView line : text.split(u'\n')) {
        if (MessageCutter::hasVisible(line))
            return MessageCutter::plainLine(line).left(kFirstLineLimit);
    }
    return QString();
}

QString ArchiveStore::newMessageFile(const QDateTime& start, const std::function<bool(const QString&)>& taken) const
{
    const QString base = start.toString(QStringLiteral("yyyy/MM/")) + start.toString(kNameFormat);
    QString file = base + ".txt";
    for (int n = 2; QFileInfo::exists(absolute(file)) || (taken && taken(file)); ++n)
        file = base + QStringLiteral("_%1.txt").arg(n);
    return file;
}

QDateTime ArchiveStore::startFromName(const QString& fileName)
{
    const QRegularExpressionMatch match = fileNamePattern().match(QFileInfo(fileName).fileName());
    if (!match.hasMatch())
        return QDateTime();
    return QDateTime::fromString(match.captured(1), kNameFormat);
}

QString ArchiveStore::indexLine(const ArchivedMessage& message)
{
    return QStringList{isoWithOffset(message.start), isoWithOffset(message.end), QString::number(message.bytes),
                       message.file, MessageCutter::plainLine(message.firstLine)}
        .join(u'\t');
}

std::optional<ArchivedMessage> ArchiveStore::parseIndexLine(QStringView line)
{
    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() != 5)
        return std::nullopt;
    ArchivedMessage message;
    message.start = QDateTime::fromString(fields[0].toString(), Qt::ISODate).toLocalTime();
    message.end = QDateTime::fromString(fields[1].toString(), Qt::ISODate).toLocalTime();
    bool number = false;
    message.bytes = fields[2].toLongLong(&number);
    message.file = fields[3].toString();
    message.firstLine = fields[4].toString();
    const bool fileNamed = message.file.count(u'/') == 2 && startFromName(message.file).isValid()
                           && !message.file.contains(QLatin1String(".."));
    if (!message.start.isValid() || !message.end.isValid() || !number || message.bytes < 0 || !fileNamed)
        return std::nullopt;
    return message;
}

std::optional<ArchivedMessage> ArchiveStore::describe(const QString& file) const
{
    QFile source(absolute(file));
    if (!source.open(QIODevice::ReadOnly))
        return std::nullopt;
    ArchivedMessage message;
    message.file = file;
    message.start = startFromName(file);
    message.end = source.fileTime(QFileDevice::FileModificationTime);
    const QByteArray bytes = source.readAll();
    message.bytes = bytes.size();
    message.firstLine = firstLineOf(decodeFileBytes(bytes));
    if (!message.start.isValid())
        return std::nullopt;
    return message;
}

QStringList ArchiveStore::messageFiles() const
{
    QStringList files;
    const QDir root(m_folder);
    static const QRegularExpression year(QStringLiteral("^\\d{4}$"));
    static const QRegularExpression month(QStringLiteral("^\\d{2}$"));
    for (const QString& y : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!year.match(y).hasMatch())
            continue;
        const QDir yearDir(root.filePath(y));
        for (const QString& m : yearDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            if (!month.match(m).hasMatch())
                continue;
            const QDir monthDir(yearDir.filePath(m));
            for (const QString& name : monthDir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
                if (fileNamePattern().match(name).hasMatch())
                    files += y + "/" + m + "/" + name;
            }
        }
    }
    return files;
}

ArchiveStore::Listing ArchiveStore::list(bool repair) const
{
    Listing listing;
    QHash<QString, ArchivedMessage> indexed;
    QFile index(indexPath());
    if (index.open(QIODevice::ReadOnly)) {
        for (const QByteArray& bytes : index.readAll().split('\n')) {
            const QString line = decodeFileBytes(bytes.endsWith('\r') ? bytes.chopped(1) : bytes);
            if (const std::optional<ArchivedMessage> message = parseIndexLine(line))
                indexed.insert(message->file, *message); // a later line for a file wins
        }
    } else {
        listing.indexMissing = true;
    }

    const QStringList files = messageFiles();
    listing.messages.reserve(files.size());
    for (const QString& file : files) {
        if (const auto found = indexed.constFind(file); found != indexed.constEnd()) {
            listing.messages.append(*found);
        } else if (const std::optional<ArchivedMessage> message = describe(file)) {
            listing.messages.append(*message);
            ++listing.fromFiles;
        }
    }
    listing.vanished = int(indexed.size()) - (int(listing.messages.size()) - listing.fromFiles);
    std::sort(listing.messages.begin(), listing.messages.end(), newestFirst);

    if (repair && (listing.indexMissing || listing.fromFiles > 0 || listing.vanished > 0))
        listing.indexWritten = writeIndex(listing.messages, &listing.problem);
    return listing;
}

bool ArchiveStore::rebuildIndex(QString* error) const
{
    QVector<ArchivedMessage> messages;
    for (const QString& file : messageFiles()) {
        if (const std::optional<ArchivedMessage> message = describe(file))
            messages.append(*message);
    }
    std::sort(messages.begin(), messages.end(), newestFirst);
    return writeIndex(messages, error);
}

bool ArchiveStore::writeIndex(const QVector<ArchivedMessage>& messages, QString* error) const
{
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("the folder %1 cannot be made").arg(m_folder);
        return false;
    }
    // Oldest first, as the writer appends.
    QByteArray bytes = kIndexHeader;
    for (auto it = messages.crbegin(); it != messages.crend(); ++it)
        bytes += encodeFileText(indexLine(*it)) + "\r\n";
    return writeBytesAtomic(indexPath(), bytes, error);
}

std::optional<QString> ArchiveStore::readMessage(const ArchivedMessage& message, QString* error) const
{
    return readTextFile(absolute(message.file), error);
}
