#include "appearance/SoundEffects.h"

#include "app/EventWait.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {
// The longest a sound may hold up the command that plays it.
constexpr int kLongestSoundMs = 5000;
}

SoundEffects::SoundEffects(const ProgramFolder& folder, QObject* parent)
    : QObject(parent), m_folder(folder)
{
}

SoundEffects::~SoundEffects() = default;

void SoundEffects::play(const QString& name, bool toTheEnd)
{
    m_requested << name;
    const QString path = m_folder.file(name);
    if (!QFileInfo::exists(path))
        return;
    if (!m_effect)
        m_effect = new QSoundEffect(this);
    m_effect->stop();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
    if (!toTheEnd)
        return;
    const QDeadlineTimer deadline(kLongestSoundMs);
    while (!deadline.hasExpired()
           && (m_effect->status() == QSoundEffect::Loading || m_effect->isPlaying()))
        waitForSignal(m_effect, &QSoundEffect::playingChanged, 50);
}
