#pragma once

#include <QObject>
#include <QStringList>

#include "core/ProgramFolder.h"

class QSoundEffect;

// The sound player: plays the wave files of the program folder. Without a
// file or an audio device it plays nothing and says nothing.
class SoundEffects : public QObject {
    Q_OBJECT
public:
    explicit SoundEffects(const ProgramFolder& folder, QObject* parent = nullptr);
    ~SoundEffects() override;

    // Plays a file named as the program names it ("/soundstart.wav"). With
    // `toTheEnd` the call returns when the sound has finished (the window
    // keeps running meanwhile).
    void play(const QString& name, bool toTheEnd = false);

    // Every file asked for, in order (whether or not it could be heard).
    const QStringList& requested() const { return m_requested; }

private:
    bool hasAudioOutput();

    const ProgramFolder& m_folder;
    bool m_outputChecked = false;
    bool m_hasOutput = false;
    QSoundEffect* m_effect = nullptr;
    QStringList m_requested;
};
