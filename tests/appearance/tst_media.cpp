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

// A PCM wave file read by its chunks.
struct Wave {
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    QVector<double> samples; // the first channel, -1 .. 1
    QString problem;

    double seconds() const { return rate ? double(samples.size()) / rate : 0.0; }
    double peak() const
    {
        double highest = 0.0;
        for (double s : samples)
            highest = std::max(highest, std::abs(s));
        return highest;
    }
    // The louder of the first and the last sample: the step from the
    // silence before and to the silence after.
    double edgeLevel() const
    {
        return samples.isEmpty() ? 0.0 : std::max(std::abs(samples.first()), std::abs(samples.last()));
    }
};

Wave readWave(const QByteArray& bytes)
{
    Wave wave;
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    char id[4];
    quint32 size = 0;
    in.readRawData(id, 4);
    in >> size;
    if (QByteArray(id, 4) != "RIFF" || size + 8 != quint32(bytes.size())) {
        wave.problem = "not a RIFF file of its stated length";
        return wave;
    }
    in.readRawData(id, 4);
    if (QByteArray(id, 4) != "WAVE") {
        wave.problem = "not WAVE";
        return wave;
    }
    QByteArray data;
    while (!in.atEnd()) {
        in.readRawData(id, 4);
        in >> size;
        const QByteArray body = bytes.mid(in.device()->pos(), size);
        if (QByteArray(id, 4) == "fmt ") {
            QDataStream fmt(body);
            fmt.setByteOrder(QDataStream::LittleEndian);
            quint32 byteRate = 0;
            quint16 align = 0;
            fmt >> wave.format >> wave.channels >> wave.rate >> byteRate >> align >> wave.bits;
        } else if (QByteArray(id, 4) == "data") {
            data = body;
        }
        in.skipRawData(int(size + (size & 1)));
    }
    if (wave.format != 1 || (wave.bits != 8 && wave.bits != 16) || wave.channels == 0) {
        wave.problem = "not 8- or 16-bit PCM";
        return wave;
    }
    const int frame = wave.channels * wave.bits / 8;
    for (int at = 0; at + frame <= data.size(); at += frame) {
        if (wave.bits == 8)
            wave.samples << (quint8(data[at]) - 128) / 128.0;
        else
            wave.samples << qint16(quint8(data[at]) | quint8(data[at + 1]) << 8) / 32768.0;
    }
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
            QVERIFY2(wave.seconds() >= c.shortestS && wave.seconds() <= c.longestS,
                     qPrintable(QString("%1 lasts %2 s").arg(c.name).arg(wave.seconds())));
            // Clearly audible, never clipped, and starting and ending in
            // silence, so that it makes no click of its own.
            QVERIFY2(wave.peak() >= 0.2 && wave.peak() < 0.99, c.name);
            QVERIFY2(wave.edgeLevel() < 0.01, c.name);
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
        QCOMPARE(QImage(env.file(skins::Standard.picture)).size(), desk);
        QCOMPARE(QImage(env.file(skins::Steampunk.picture)).size(), desk);
        const QSize text(twips(skins::Standard.width), twips(skins::Standard.height));
        const QImage sheet(env.file("\\Paper-Sheet.jpg"));
        QCOMPARE(sheet.size(), text + QSize(24, 24));
        const QImage edge(env.file("\\Paper-Edge.png"));
        QVERIFY(!edge.isNull() && edge.hasAlphaChannel());
        QVERIFY(edge.width() >= sheet.width());
        QCOMPARE(qAlpha(edge.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(edge.pixel(edge.width() / 2, edge.height() / 2)), 255);

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
