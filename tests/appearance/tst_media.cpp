// The pictures and sounds shipped beside the program, as a fresh program
// folder receives them: every file readable, the sizes the desk expects, and
// sounds that fit the buttons that play them.
#include "support/TestEnvironment.h"

#include "appearance/Appearance.h"
#include "appearance/SoundCommands.h"
#include "core/Widgets.h"

#include <QDataStream>
#include <QImage>
#include <QtTest>
#include <cmath>

namespace {

// A PCM wave file read by its chunks: its rate and its first channel's
// samples (-1 .. 1), or what keeps it from being an 8- or 16-bit PCM wave.
struct Wave {
    quint32 rate = 0;
    QVector<double> samples;
    QString problem;
};

// A little-endian number of `size` bytes at `at` (0 beyond the end).
quint32 littleEndian(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(at + i < bytes.size() ? bytes[at + i] : 0);
    return value;
}

Wave readWave(const QByteArray& bytes)
{
    const auto number = [&bytes](qsizetype at, int size) { return littleEndian(bytes, at, size); };
    if (!bytes.startsWith("RIFF") || number(4, 4) + 8 != quint32(bytes.size()) || bytes.mid(8, 4) != "WAVE")
        return {0, {}, "not a RIFF WAVE file of its stated length"};
    Wave wave;
    quint32 format = 0, channels = 0, bits = 0;
    QByteArray data;
    for (qsizetype at = 12; at + 8 <= bytes.size(); at += 8 + number(at + 4, 4) + (number(at + 4, 4) & 1)) {
        if (bytes.mid(at, 4) == "fmt ") {
            format = number(at + 8, 2);
            channels = number(at + 10, 2);
            wave.rate = number(at + 12, 4);
            bits = number(at + 22, 2);
        } else if (bytes.mid(at, 4) == "data") {
            data = bytes.mid(at + 8, number(at + 4, 4));
        }
    }
    if (format != 1 || (bits != 8 && bits != 16) || channels == 0)
        return {0, {}, "not 8- or 16-bit PCM"};
    const int frame = int(channels * bits / 8);
    for (int at = 0; at + frame <= data.size(); at += frame)
        wave.samples << (bits == 8 ? (quint8(data[at]) - 128) / 128.0 : qint16(littleEndian(data, at, 2)) / 32768.0);
    return wave;
}

} // namespace

class MediaTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void soundsFitTheirUse()
    {
        struct Case { const char* name; double shortestS; double longestS; };
        // The buttons cut their sound off after their hold, so none may be
        // longer; the motor should run for most of its two seconds.
        const Case cases[] = {
            {"\\soundcipher.wav", 0.03, SoundCommands::kCommand1HoldMs / 1000.0},
            {"\\soundplain.wav", 0.005, SoundCommands::kCommand2HoldMs / 1000.0},
            {"\\soundrun.wav", 1.5, SoundCommands::kCommand3HoldMs / 1000.0},
            {"/soundstart.wav", 0.15, 1.0},
            {"/soundstop.wav", 0.15, 1.0},
        };
        QList<QVector<double>> heard;
        for (const Case& c : cases) {
            const QByteArray bytes = env.readFile(c.name);
            QVERIFY2(!bytes.isEmpty() && bytes.size() < 100 * 1024, c.name);
            const Wave wave = readWave(bytes);
            QVERIFY2(wave.problem.isEmpty(), qPrintable(QString(c.name) + ": " + wave.problem));
            QVERIFY2(wave.rate >= 8000 && wave.rate <= 48000, c.name);
            const double seconds = double(wave.samples.size()) / wave.rate;
            QVERIFY2(seconds >= c.shortestS && seconds <= c.longestS,
                     qPrintable(QString("%1 lasts %2 s").arg(c.name).arg(seconds)));
            // Clearly audible, never clipped, and starting and ending in
            // silence, so that it makes no click of its own.
            double peak = 0.0;
            for (double sample : wave.samples)
                peak = std::max(peak, std::abs(sample));
            QVERIFY2(peak >= 0.2 && peak < 0.99, c.name);
            QVERIFY2(std::abs(wave.samples.first()) < 0.01 && std::abs(wave.samples.last()) < 0.01, c.name);
            for (const QVector<double>& other : std::as_const(heard))
                QVERIFY2(other != wave.samples, c.name);
            heard << wave.samples;
        }
    }

    void picturesFitTheDesk()
    {
        // The skins cover the desk; the paper sheet shows a margin of paper
        // around the standard skin's text window; the edge below it is
        // partly transparent.
        const QSize desk(1200, 372);
        for (const Skin* skin : {&skins::Standard, &skins::Steampunk})
            QCOMPARE(QImage(env.file(skin->picture)).size(), desk);
        const QSize text(twips(skins::Standard.width), twips(skins::Standard.height));
        const QImage sheet(env.file("\\Paper-Sheet.jpg"));
        QCOMPARE(sheet.size(), text + QSize(24, 24));
        const QImage edge(env.file("\\Paper-Edge.png"));
        QVERIFY(!edge.isNull() && edge.hasAlphaChannel() && edge.width() >= sheet.width());
        QCOMPARE(QList<int>({qAlpha(edge.pixel(0, 0)), qAlpha(edge.pixel(edge.width() / 2, edge.height() / 2))}),
                 QList<int>({0, 255}));

        // The paper is light; round the steampunk text window the frame's
        // inside is dark.
        QVERIFY(qGray(sheet.pixel(sheet.width() / 2, sheet.height() / 2)) > 200);
        const QImage steam(env.file(skins::Steampunk.picture));
        const QPoint inside(twips(skins::Steampunk.left) - 3, twips(skins::Steampunk.top) + 20);
        QVERIFY(qGray(steam.pixel(inside)) < 50);
    }
};

QTEST_MAIN(MediaTest)
#include "tst_media.moc"
