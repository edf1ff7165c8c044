#include "appearance/SoundEffects.h"

#include "appearance/SoundBank.h"
#include "core/AppState.h"
#include "core/EventWait.h"

namespace {
// The longest a sound may hold up the command that plays it.
constexpr int kLongestSoundMs = 5000;
} // namespace

SoundEffects::SoundEffects(const AppState& state, QObject* parent)
    : QObject(parent), m_state(state), m_player(new SoundBank(this))
{
}

SoundEffects::SoundEffects(const AppState& state, SoundPlayer& player, QObject* parent)
    : QObject(parent), m_state(state), m_player(&player)
{
}

SoundEffects::~SoundEffects() = default;

void SoundEffects::play(const QString& name, Wait wait)
{
    if (!m_state.SoundMuted)
        playEvenWhenMuted(name, wait);
}

void SoundEffects::playEvenWhenMuted(const QString& name, Wait wait)
{
    m_requested << name;
    const QString path = m_state.folder.file(name);
    m_player->start(path);
    if (wait == Wait::ToTheEnd)
        m_player->waitUntilSilent(path, kLongestSoundMs);
}

void SoundEffects::close(const QString& name)
{
    m_player->stop(m_state.folder.file(name));
}

void SoundEffects::playHeld(const QString& name, int holdMs)
{
    playEvenWhenMuted(name);
    EventWait::forMs(holdMs);
    close(name);
}
