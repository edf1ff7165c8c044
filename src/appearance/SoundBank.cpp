#include "appearance/SoundBank.h"

#include "core/DataFile.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

// How much of a file is read to judge whether it is a wave.
constexpr qint64 kHeadBytes = 4096;
// How long a sound may take to load before it is made anew, and how often.
constexpr int kLoadPatienceMs = 1000;
constexpr int kLoadTries = 3;

quint32 le32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

QByteArray readHead(const QString& path)
{
    return readFileBytes(path, kHeadBytes).bytes;
}

} // namespace

bool isPlayableWave(const QByteArray& head)
{
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    // Chunks follow one another, each padded to an even length.
    qsizetype at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = le32(head, at + 4);
        if (id == "fmt ") {
            if (size < 16 || at + 8 + 16 > head.size())
                return false;
            const quint16 format = le16(head, at + 8);
            const quint16 channels = le16(head, at + 10);
            const quint32 rate = le32(head, at + 12);
            const quint16 bits = le16(head, at + 22);
            const bool knownFormat = format == 1 || format == 3 || format == 0xFFFE;
            const bool knownBits = bits == 8 || bits == 16 || bits == 24 || bits == 32;
            return knownFormat && knownBits && channels >= 1 && channels <= 8 && rate > 0;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return false;
}

SoundBank::SoundBank(QObject* parent, Device device) : SoundPlayer(parent), m_device(device) {}

SoundBank::~SoundBank() = default;

bool SoundBank::hasOutput()
{
    if (m_device == Device::AssumePresent)
        return true;
    // The system's devices are watched from the first sound on (the program
    // starts muted, and watching them costs a connection to the sound
    // server at start-up).
    if (!m_devices) {
        m_devices = new QMediaDevices(this);
        connect(m_devices, &QMediaDevices::audioOutputsChanged, this, [this] {
            m_outputChecked = false;
            forgetAll();
        });
    }
    // Asked once, and again only after the devices changed.
    if (!m_outputChecked) {
        m_hasOutput = !QMediaDevices::audioOutputs().isEmpty();
        m_outputChecked = true;
    }
    return m_hasOutput;
}

void SoundBank::forgetAll()
{
    for (const Loaded& sound : std::as_const(m_loaded)) {
        if (sound.effect) {
            sound.effect->stop();
            sound.effect->deleteLater();
        }
    }
    m_loaded.clear();
}

QSoundEffect* SoundBank::effectFor(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return nullptr;
    // A loaded sound is kept for the rest of the run; a file that was no
    // wave is looked at again only once it has changed.
    const auto known = m_loaded.constFind(path);
    if (known != m_loaded.cend()
        && (known->effect || (known->modified == file.lastModified() && known->size == file.size())))
        return known->effect;

    Loaded& sound = m_loaded[path];
    sound.modified = file.lastModified();
    sound.size = file.size();
    // What is no wave never reaches the decoder, and the verdict is kept: a
    // broken display sound is not read again for every chunk received.
    if (!isPlayableWave(readHead(path)))
        return nullptr;

    sound.effect = makeEffect(path);
    ++m_loads;
    return sound.effect;
}

QSoundEffect* SoundBank::makeEffect(const QString& path, int tries)
{
    auto* effect = new QSoundEffect(this);
    connect(effect, &QSoundEffect::playingChanged, this, [this, path] { emit playingChanged(path); });
    // A wave that fails to decode turns to Error and is never heard.
    connect(effect, &QSoundEffect::statusChanged, this, [this, path, effect] {
        if (effect->status() == QSoundEffect::Error)
            emit playingChanged(path);
    });
    // Now and then a load is never finished (when it is asked for just as the
    // previous one ends); such a sound is made anew, a few times at most.
    QTimer::singleShot(kLoadPatienceMs, effect, [this, path, effect, tries] {
        if (effect->status() != QSoundEffect::Loading)
            return;
        if (tries >= kLoadTries) {
            // Given up: the sound is not waited for any longer.
            effect->stop();
            emit playingChanged(path);
            return;
        }
        const bool wanted = effect->isPlaying();
        m_loaded[path].effect = nullptr;
        delete effect;
        QSoundEffect* again = makeEffect(path, tries + 1);
        m_loaded[path].effect = again;
        if (wanted)
            again->play();
        emit playingChanged(path);
    });
    // A fresh try goes by another name: the stuck load stays in the
    // player's cache under the first one.
    QUrl source = QUrl::fromLocalFile(path);
    if (tries > 1)
        source.setFragment(QString::number(tries));
    effect->setSource(source);
    return effect;
}

void SoundBank::start(const QString& path)
{
    if (!hasOutput())
        return;
    QSoundEffect* effect = effectFor(path);
    if (!effect || effect->status() == QSoundEffect::Error)
        return;
    effect->stop();
    effect->play();
}

void SoundBank::stop(const QString& path)
{
    if (QSoundEffect* effect = loaded(path))
        effect->stop();
}

bool SoundBank::isPlaying(const QString& path) const
{
    const QSoundEffect* effect = loaded(path);
    return effect && effect->status() != QSoundEffect::Error && effect->isPlaying();
}

QSoundEffect* SoundBank::loaded(const QString& path) const
{
    const auto found = m_loaded.constFind(path);
    return found == m_loaded.cend() ? nullptr : found->effect;
}
