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
#include <filesystem>
#include <vector>

namespace {

const QString kNameFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QByteArray kIndexHeader = "# Vornak message archive: start, end, bytes, file, first line\r\n";
constexpr int kFirstLineLimit = 200;

QString isoWithOffset(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// Reads "2026-08-24T14:03:22.125+02:00" (the milliseconds may be left out,
// "Z" stands for +00:00) as that time at that offset from UTC, which is the
// local time of when it was written; an invalid time for anything else.
// Written out by hand: the index of a large archive is read as the archive
// window opens, and the general date parser takes a hundred times longer.
QDateTime parseIndexTime(QStringView text)
{
    const auto number = [&text](qsizetype at, qsizetype digits, bool* ok) {
        int value = 0;
        for (qsizetype i = at; i < at + digits; ++i) {
            if (i >= text.size() || !text[i].isDigit()) {
                *ok = false;
                return 0;
            }
            value = value * 10 + text[i].digitValue();
        }
        return value;
    };
    bool ok = text.size() >= 20 && text[4] == u'-' && text[7] == u'-' && text[10] == u'T' && text[13] == u':'
              && text[16] == u':';
    const QDate date(number(0, 4, &ok), number(5, 2, &ok), number(8, 2, &ok));
    int milliseconds = 0;
    qsizetype at = 19;
    if (ok && text[at] == u'.') {
        milliseconds = number(at + 1, 3, &ok);
        at += 4;
    }
    const QTime time(number(11, 2, &ok), number(14, 2, &ok), number(17, 2, &ok), milliseconds);
    int offset = 0;
    if (ok && at < text.size() && text[at] == u'Z' && at + 1 == text.size()) {
        offset = 0;
    } else if (ok && at + 6 == text.size() && (text[at] == u'+' || text[at] == u'-') && text[at + 3] == u':') {
        offset = (number(at + 1, 2, &ok) * 3600 + number(at + 4, 2, &ok) * 60) * (text[at] == u'-' ? -1 : 1);
    } else {
        ok = false;
    }
    if (!ok || !date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::OffsetFromUTC, offset);
}

// Newest first (by start, then by file); the times are read once each.
void sortNewestFirst(QVector<ArchivedMessage>& messages)
{
    std::vector<std::pair<qint64, qsizetype>> keys;
    keys.reserve(messages.size());
    for (qsizetype i = 0; i < messages.size(); ++i)
        keys.emplace_back(messages[i].start.toMSecsSinceEpoch(), i);
    std::sort(keys.begin(), keys.end(), [&messages](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first > b.first;
        return messages[a.second].file > messages[b.second].file;
    });
    QVector<ArchivedMessage> sorted;
    sorted.reserve(messages.size());
    for (const auto& key : keys)
        sorted.append(std::move(messages[key.second]));
    messages = std::move(sorted);
}

// A message file's path in the archive: "2026/08/2026-08-24_14-03-22.txt".
const QRegularExpression& filePathPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{4}/\\d{2}/\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}(?:_\\d+)?\\.txt$"));
    return pattern;
}

const QRegularExpression& fileNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})_(\\d{2})-(\\d{2})-(\\d{2})(?:_\\d+)?\\.txt$"));
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
    const auto part = [&match](int n) { return match.capturedView(n).toInt(); };
    const QDate date(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
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
    message.start = parseIndexTime(fields[0]);
    message.end = parseIndexTime(fields[1]);
    bool number = false;
    message.bytes = fields[2].toLongLong(&number);
    message.file = fields[3].toString();
    message.firstLine = fields[4].toString();
    const bool fileNamed = filePathPattern().match(message.file).hasMatch();
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
    // The names only, as the folders list them (no file is looked at):
    // YYYY/MM/<start>.txt.
    namespace fs = std::filesystem;
    const auto entries = [](const fs::path& folder, bool folders) {
        QStringList names;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            std::error_code typeError;
            if (folders ? it->is_directory(typeError) : it->is_regular_file(typeError))
                names.append(QFile::decodeName(it->path().filename().c_str()));
        }
        names.sort();
        return names;
    };
    static const QRegularExpression year(QStringLiteral("^\\d{4}$"));
    static const QRegularExpression month(QStringLiteral("^\\d{2}$"));
    QStringList files;
    const fs::path root(QFile::encodeName(m_folder).constData());
    for (const QString& y : entries(root, true)) {
        if (!year.match(y).hasMatch())
            continue;
        for (const QString& m : entries(root / QFile::encodeName(y).constData(), true)) {
            if (!month.match(m).hasMatch())
                continue;
            const QString prefix = y + "/" + m + "/";
            for (const QString& name : entries(root / QFile::encodeName(y).constData() / QFile::encodeName(m).constData(), false)) {
                if (fileNamePattern().match(name).hasMatch())
                    files += prefix + name;
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
    sortNewestFirst(listing.messages);

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
    sortNewestFirst(messages);
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
