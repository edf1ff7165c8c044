#pragma once

#include <QObject>
#include <QString>

// What the sound object asks of the thing that makes wave files heard. The
// program plays through a SoundBank; a test puts a recorder in its place and
// reads which file was started and stopped when.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Plays a wave file (a full path) from its start; a file that is still
    // being heard starts over.
    virtual void start(const QString& path) = 0;
    // Silences the file if it is still heard.
    virtual void stop(const QString& path) = 0;
    // True while the file is heard or still being readied to be heard.
    virtual bool isPlaying(const QString& path) const = 0;

    // Runs the window's events until the file is no longer heard, at most
    // `longestMs`. True when the sound ended in that time.
    bool waitUntilSilent(const QString& path, int longestMs);

signals:
    // A file began or ceased to be heard.
    void playingChanged(const QString& path);
};
