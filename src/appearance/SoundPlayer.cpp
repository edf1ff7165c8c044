#include "appearance/SoundPlayer.h"

#include "core/EventWait.h"

#include <QDeadlineTimer>

bool SoundPlayer::waitUntilSilent(const QString& path, int longestMs)
{
    const QDeadlineTimer deadline(longestMs);
    while (isPlaying(path)) {
        if (deadline.hasExpired())
            return false;
        EventWait waiting;
        QObject context;
        connect(this, &SoundPlayer::playingChanged, &context, [&waiting, &path](const QString& changed) {
            if (changed == path)
                waiting.finish();
        });
        if (waiting.wait(int(deadline.remainingTime())) == EventWait::Outcome::Quitting)
            return false;
    }
    return true;
}
