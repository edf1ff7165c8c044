#pragma once

#include <QObject>
#include <QStringList>

struct AppState;
class QSoundEffect;

// The sound player: plays the wave files of the program folder. It keeps to
// SoundMuted itself: while the sounds are switched off, play() is silent;
// only playEvenWhenMuted() (the local-mode sound) is heard regardless.
// Without a file or an audio device nothing is heard and nothing is said.
class SoundEffects : public QObject {
    Q_OBJECT
public:
    enum class Wait { No, ToTheEnd };

    explicit SoundEffects(const AppState& state, QObject* parent = nullptr);
    ~SoundEffects() override;

    // Plays a file named as the program names it ("/soundstart.wav") unless
    // the sounds are muted. With Wait::ToTheEnd the call returns when the
    // sound has finished (the window keeps running meanwhile).
    void play(const QString& name, Wait wait = Wait::No);
    void playEvenWhenMuted(const QString& name, Wait wait = Wait::No);

    // Every sound that was to be heard, in order (whether or not a device
    // could play it).
    const QStringList& requested() const { return m_requested; }

private:
    bool hasAudioOutput();

    const AppState& m_state;
    bool m_outputChecked = false;
    bool m_hasOutput = false;
    QSoundEffect* m_effect = nullptr;
    QStringList m_requested;
};
