#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

// One archived message, as the index keeps it.
struct ArchivedMessage {
    QString file;      // relative to the archive folder: "2026/08/2026-08-24_14-03-22.txt"
    QDateTime start;   // when its first text arrived (local time)
    QDateTime end;     // when its last text arrived
    qint64 bytes = 0;  // the size of its file
    QString firstLine; // its first line with something visible in it

    friend bool operator==(const ArchivedMessage&, const ArchivedMessage&) = default;
};

// The message archive on disk: one file per message in
// <folder>/YYYY/MM/, named by its start time, holding the received text as
// the terminal window showed it (CR LF line ends); and a small index,
// <folder>/index.txt, one line per message (start, end, bytes, file, first
// line, tab-separated), which can be rebuilt from the files at any time:
// the start is in the file's name, the end is the file's modification time
// (the writer sets it to the time of the last text), the first line is in
// the file.
//
// The index is only ever appended to (one line per finished message) or
// replaced whole (rebuilt under a temporary name and renamed over it), so a
// reader on another machine never sees half of it.
class ArchiveStore {
public:
    explicit ArchiveStore(QString folder) : m_folder(std::move(folder)) {}
    const QString& folder() const { return m_folder; }
    QString indexPath() const { return m_folder + "/index.txt"; }
    QString absolute(const QString& file) const { return m_folder + "/" + file; }

    // The file of a message that started at `start`: "2026/08/2026-08-24_14-03-22.txt",
    // with "_2", "_3", ... before ".txt" when a file has that name already
    // or `taken` says it is spoken for.
    QString newMessageFile(const QDateTime& start, const std::function<bool(const QString&)>& taken = {}) const;
    // The start time a message file's name says; invalid for a name that is
    // not a message file's.
    static QDateTime startFromName(const QString& fileName);

    // One line of the index (without its line end), and back; nothing for a
    // line that is not one.
    static QString indexLine(const ArchivedMessage& message);
    static std::optional<ArchivedMessage> parseIndexLine(QStringView line);

    // What the files say of a message: for an index that lost it.
    std::optional<ArchivedMessage> describe(const QString& file) const;

    struct Listing {
        QVector<ArchivedMessage> messages; // newest first
        int fromFiles = 0;    // messages the index did not have, read from their files
        int vanished = 0;     // index lines whose file is gone
        bool indexMissing = false;
        bool indexWritten = false; // the index was rebuilt and written
        QString problem;      // why the index could not be written
    };
    // The messages of the archive: the index, checked against the names of
    // the files (the files themselves are read only when the index lacks
    // them). With `repair`, an index that is missing or differs from the
    // files is rebuilt and written.
    Listing list(bool repair) const;
    // Rebuilds the index from the files alone and writes it.
    bool rebuildIndex(QString* error) const;

    // The relative names of every message file, by month folder.
    QStringList messageFiles() const;
    // A message's text, as its file holds it.
    std::optional<QString> readMessage(const ArchivedMessage& message, QString* error = nullptr) const;

private:
    bool writeIndex(const QVector<ArchivedMessage>& messages, QString* error) const;

    QString m_folder;
};

// The first line with something visible in a message's text, as the list
// shows it.
QString firstLineOf(QStringView text);
