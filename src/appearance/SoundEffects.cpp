#include "appearance/SoundEffects.h"

#include "core/AppState.h"
#include "core/EventWait.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {
// The longest a sound may hold up the command that plays it.
constexpr int kLongestSoundMs = 5000;
}

SoundEffects::SoundEffects(const AppState& state, QObject* parent)
    : QObject(parent), m_state(state)
{
}

SoundEffects::~SoundEffects() = default;

bool SoundEffects::hasAudioOutput()
{
    // Asked once: without an audio device nothing is played or waited for.
    if (!m_outputChecked) {
        m_hasOutput = !QMediaDevices::audioOutputs().isEmpty();
        m_outputChecked = true;
    }
    return m_hasOutput;
}

void SoundEffects::play(const QString& name, Wait wait)
{
    if (!m_state.SoundMuted)
        playEvenWhenMuted(name, wait);
}

void SoundEffects::playEvenWhenMuted(const QString& name, Wait wait)
{
    m_requested << name;
    const QString path = m_state.folder.file(name);
    if (!QFileInfo::exists(path) || !hasAudioOutput())
        return;
    if (!m_effect)
        m_effect = new QSoundEffect(this);
    m_effect->stop();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
    if (wait == Wait::No)
        return;
    const QDeadlineTimer deadline(kLongestSoundMs);
    while (!deadline.hasExpired() && m_effect->status() != QSoundEffect::Error
           && (m_effect->status() == QSoundEffect::Loading || m_effect->isPlaying()))
        EventWait::forSignal(m_effect, &QSoundEffect::playingChanged, 50);
}
