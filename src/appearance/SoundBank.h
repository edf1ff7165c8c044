#pragma once

#include "appearance/SoundPlayer.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>

class QMediaDevices;
class QSoundEffect;

// True when the first bytes of a file (a few kilobytes) are those of a wave
// file the player can decode: RIFF, WAVE, and a format chunk of integer or
// floating-point samples.
bool isPlayableWave(const QByteArray& head);

// The program's player of wave files. Every file gets one QSoundEffect,
// loaded on its first start and kept: a sound heard again and again (the
// display sound under a flood of received text) neither opens nor decodes its
// file again. A sound file replaced while the program runs is heard from the
// next start on. A file that is no playable wave stays silent until it is
// changed.
//
// Without an audio device nothing is loaded, played or reported; when the
// devices change (a headset plugged in) the sounds are loaded again for the
// new default device.
class SoundBank : public SoundPlayer {
    Q_OBJECT
public:
    enum class Device {
        Detect,        // play only when the system lists an audio output
        AssumePresent, // load and play even when it lists none
    };

    explicit SoundBank(QObject* parent = nullptr, Device device = Device::Detect);
    ~SoundBank() override;

    void start(const QString& path) override;
    void stop(const QString& path) override;
    bool isPlaying(const QString& path) const override;

    // The loaded sound of a file, or null when it was never started or is
    // no playable wave.
    QSoundEffect* loaded(const QString& path) const;
    // How many sounds were loaded since the bank was made.
    int loads() const { return m_loads; }

private:
    struct Loaded {
        QSoundEffect* effect = nullptr; // null: not a playable wave
        QDateTime modified;
        qint64 size = 0;
    };

    bool hasOutput();
    void forgetAll();
    QSoundEffect* effectFor(const QString& path);
    QSoundEffect* makeEffect(const QString& path, int tries = 1);

    Device m_device;
    QMediaDevices* m_devices = nullptr;
    bool m_outputChecked = false;
    bool m_hasOutput = false;
    QHash<QString, Loaded> m_loaded;
    int m_loads = 0;
};
