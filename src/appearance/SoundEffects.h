#pragma once

#include <QObject>
#include <QStringList>

struct AppState;
class SoundPlayer;

// The sound effects: plays the wave files of the program folder through a
// player that loads each file once and reuses it. It keeps to SoundMuted
// itself: while the sounds are switched off, play() is silent; only
// playEvenWhenMuted() (the local-mode sound and the sound buttons) is heard
// regardless. Without a file or an audio device nothing is heard and nothing
// is said.
class SoundEffects : public QObject {
    Q_OBJECT
public:
    enum class Wait { No, ToTheEnd };
    // How long the key sound ("\soundplain.wav") is heard when text reaches
    // the terminal window.
    static constexpr int kKeySoundMs = 80;

    // Plays through a SoundBank of its own.
    explicit SoundEffects(const AppState& state, QObject* parent = nullptr);
    // Plays through the given player (a test's recorder).
    SoundEffects(const AppState& state, SoundPlayer& player, QObject* parent = nullptr);
    ~SoundEffects() override;

    // Plays a file named as the program names it ("/soundstart.wav") unless
    // the sounds are muted. With Wait::ToTheEnd the call returns when the
    // sound has finished (the window keeps running meanwhile).
    void play(const QString& name, Wait wait = Wait::No);
    void playEvenWhenMuted(const QString& name, Wait wait = Wait::No);
    // Silences a sound that is still heard.
    void close(const QString& name);
    // Plays a sound even while muted, holds the caller `holdMs` with the
    // window running, then silences it.
    void playHeld(const QString& name, int holdMs);

    // Every sound that was to be heard, in order (whether or not a device
    // could play it).
    const QStringList& requested() const { return m_requested; }

private:
    const AppState& m_state;
    SoundPlayer* m_player;
    QStringList m_requested;
};
