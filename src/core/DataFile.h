#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// The program's files at the level of bytes, read and written so that
// nothing standing in a file's place can stop the program or hide the
// cause of a failure:
// - only regular files are read or appended to: a named pipe, a device or
//   a folder is refused with a message saying what it is. The type is
//   looked at before opening, and the file is opened without waiting
//   (O_NONBLOCK) and looked at again, so a pipe put there in between is
//   refused too instead of blocking the window;
// - a write that the system takes only in part (a disk with a little room
//   left) is continued until the system names its reason ("No space left
//   on device").

// What a path that should be a file is instead. The file senders add what
// became of the transmission.
inline const QString kFolderNotFile = QStringLiteral("This is a folder, not a text file.");
inline const QString kDeviceNotFile = QStringLiteral("This is a device or a pipe, not a text file.");

struct FileBytes {
    enum class Outcome { Read, Missing, Failed, Stopped };
    Outcome outcome = Outcome::Failed;
    QByteArray bytes;
    // Why the file could not be read (Missing and Failed): the system's
    // reason, or one of the texts above.
    QString problem;

    bool read() const { return outcome == Outcome::Read; }
};

// A regular file's bytes, at most `maxBytes` of them when that is not
// negative. `keepGoing` is shown each piece of a large file as it is read
// (so it can also look at the bytes); when it answers false the reading
// stops (Outcome::Stopped).
FileBytes readFileBytes(const QString& path, qint64 maxBytes = -1,
                        const std::function<bool(QByteArrayView piece)>& keepGoing = {});

// Opens a regular file to append to, made when missing (permissions 0644
// less the umask). The descriptor, or -1 with the reason in *reason.
int openForAppend(const QString& path, QString* reason);

// Writes every byte to the descriptor, going on after a write the system
// took only in part. The number of bytes written; fewer than the size when
// it failed, with the system's reason in *reason.
qint64 writeAllBytes(int fd, QByteArrayView bytes, QString* reason);
