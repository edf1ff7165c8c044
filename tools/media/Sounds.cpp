#include "Sounds.h"

#include "Noise.h"

#include <QDataStream>
#include <QIODevice>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace sounds {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

QVector<double> silence(double seconds)
{
    return QVector<double>(int(std::lround(seconds * kRate)), 0.0);
}

double timeOf(int sample) { return double(sample) / kRate; }

// Adds `source` into `target` from `atSeconds` on.
void mixInto(QVector<double>& target, const QVector<double>& source, double atSeconds)
{
    const int start = int(std::lround(atSeconds * kRate));
    for (int i = 0; i < source.size() && start + i < target.size(); ++i)
        target[start + i] += source[i];
}

// Scales to a peak level and fades the very ends, so no sound starts or
// stops with a click of its own.
void finish(QVector<double>& samples, double peak, double fadeSeconds = 0.002)
{
    const int fade = std::min<int>(int(fadeSeconds * kRate), int(samples.size()) / 2);
    for (int i = 0; i < fade; ++i) {
        samples[i] *= double(i) / fade;
        samples[samples.size() - 1 - i] *= double(i) / fade;
    }
    double highest = 0.0;
    for (double s : samples)
        highest = std::max(highest, std::abs(s));
    const double gain = highest > 0.0 ? peak / highest : 0.0;
    for (double& s : samples)
        s *= gain;
}

// One short tone with a quick attack and an exponential decay; its pitch
// glides by `glide` (a factor) over its length.
QVector<double> blip(double frequency, double seconds, double decaySeconds, double glide)
{
    QVector<double> out = silence(seconds);
    double phase = 0.0;
    const double attack = 0.0015;
    for (int i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double f = frequency * (1.0 + (glide - 1.0) * t / seconds);
        phase += kTwoPi * f / kRate;
        const double release = std::min(1.0, (seconds - t) / attack);
        const double envelope = std::min(1.0, t / attack) * release * std::exp(-t / decaySeconds);
        out[i] = envelope * (std::sin(phase) + 0.25 * std::sin(2.0 * phase));
    }
    return out;
}

// A bell-like note: a fundamental with two softer, faster-fading partials.
QVector<double> bell(double frequency, double seconds, double decaySeconds)
{
    QVector<double> out = silence(seconds);
    const double attack = 0.004;
    for (int i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double rise = std::min(1.0, t / attack);
        out[i] = rise
                 * (std::exp(-t / decaySeconds) * std::sin(kTwoPi * frequency * t)
                    + 0.35 * std::exp(-t / (decaySeconds * 0.5)) * std::sin(kTwoPi * frequency * 2.0 * t)
                    + 0.12 * std::exp(-t / (decaySeconds * 0.3)) * std::sin(kTwoPi * frequency * 3.01 * t));
    }
    return out;
}

// A two-note signal: the second note enters while the first still rings.
Sound twoNotes(const QString& fileName, const QString& description, double first, double second)
{
    QVector<double> samples = silence(0.42);
    mixInto(samples, bell(first, 0.42, 0.11), 0.0);
    mixInto(samples, bell(second, 0.28, 0.09), 0.14);
    finish(samples, 0.55, 0.01);
    return {fileName, description, samples};
}

} // namespace

Sound cipherChirp()
{
    // Four quick notes of a rising chord, each gliding a little upwards.
    const double notes[] = {1318.5, 1760.0, 2217.5, 2637.0};
    QVector<double> samples = silence(0.094);
    for (int i = 0; i < 4; ++i)
        mixInto(samples, blip(notes[i], 0.018, 0.008, 1.03), i * 0.024);
    finish(samples, 0.5);
    return {"soundcipher.wav", "cipher chirp", samples};
}

Sound keyClick()
{
    // Soft: a damped noise burst through a gentle low-pass, a short tick and
    // a low thump underneath.
    Random random(0x6B6579);
    QVector<double> samples = silence(0.032);
    double lowPassed = 0.0;
    for (int i = 0; i < samples.size(); ++i) {
        const double t = timeOf(i);
        lowPassed += 0.35 * (random.signedNext() - lowPassed);
        samples[i] = lowPassed * std::exp(-t / 0.003) + 0.5 * std::sin(kTwoPi * 1200.0 * t) * std::exp(-t / 0.002)
                     + 0.35 * std::sin(kTwoPi * 160.0 * t) * std::exp(-t / 0.01);
    }
    finish(samples, 0.3, 0.001);
    return {"soundplain.wav", "key click", samples};
}

Sound motorRun()
{
    // The motor hum (a low fundamental with harmonics) and the whirr of the
    // mechanism (noise pulsing with the shaft) rise with the speed; the
    // speed climbs at the start and sinks at the end.
    const double seconds = 1.95;
    const double spinUp = 0.25;
    const double runDown = 0.45;
    Random random(0x6D6F746F72);
    QVector<double> samples = silence(seconds);
    double phase = 0.0;
    double whirr = 0.0;
    double whirrSmooth = 0.0;
    double whirrLow = 0.0;
    for (int i = 0; i < samples.size(); ++i) {
        const double t = timeOf(i);
        double speed = 1.0;
        double level = 1.0;
        if (t < spinUp) {
            const double x = t / spinUp;
            speed = 0.4 + 0.6 * x * (2.0 - x);
            level = x;
        } else if (t > seconds - runDown) {
            const double x = (seconds - t) / runDown;
            speed = 0.5 + 0.5 * x;
            level = x * x;
        }
        phase += kTwoPi * 100.0 * speed / kRate;
        const double hum = std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.3 * std::sin(3.0 * phase)
                           + 0.15 * std::sin(4.0 * phase);
        // A soft band of noise (two low-passes less a lower one) around a
        // few hundred hertz, pulsing with the shaft.
        const double noise = random.signedNext();
        whirr += 0.15 * (noise - whirr);
        whirrSmooth += 0.15 * (whirr - whirrSmooth);
        whirrLow += 0.01 * (noise - whirrLow);
        const double shaft = 0.55 + 0.45 * std::sin(phase / 4.0);
        samples[i] = level * (0.6 * hum + 2.2 * (whirrSmooth - whirrLow) * shaft);
    }
    finish(samples, 0.5, 0.01);
    return {"soundrun.wav", "motor run", samples};
}

Sound startTone() { return twoNotes("soundstart.wav", "start tone", 784.0, 1046.5); }
Sound stopTone() { return twoNotes("soundstop.wav", "stop tone", 1046.5, 698.5); }

QVector<Sound> all() { return {cipherChirp(), keyClick(), motorRun(), startTone(), stopTone()}; }

QByteArray waveFile(const QVector<double>& samples, int rate)
{
    const quint16 channels = 1;
    const quint16 bits = 16;
    const quint32 dataBytes = quint32(samples.size()) * 2;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << channels << quint32(rate) << quint32(rate * channels * bits / 8)
        << quint16(channels * bits / 8) << bits;
    out.writeRawData("data", 4);
    out << dataBytes;
    for (double s : samples)
        out << qint16(std::lround(std::clamp(s, -1.0, 1.0) * 32767.0));
    return bytes;
}

} // namespace sounds
