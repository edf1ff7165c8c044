#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The five sound effects of the program, made from sine waves and noise.
// Each is short and distinct; the ones the program cuts off after a fixed
// time are no longer than that time, so nothing of them is lost.
namespace sounds {

constexpr int kRate = 22050;

struct Sound {
    QString fileName;
    QString description;
    QVector<double> samples; // mono, -1 .. 1
};

// A rising four-note chirp, under 0.1 s.
Sound cipherChirp();
// A soft key click, about 30 ms.
Sound keyClick();
// A teleprinter motor that spins up, runs and runs down, just under 2 s.
Sound motorRun();
// Two bell notes going up (a call begins) or down (it ends).
Sound startTone();
Sound stopTone();

QVector<Sound> all();

// The samples as a 16-bit mono PCM wave file.
QByteArray waveFile(const QVector<double>& samples, int rate = kRate);

} // namespace sounds
