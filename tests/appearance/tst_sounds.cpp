// The sound commands on a host of their own, the wait for the end of a sound
// through the player seam, and the player that keeps each file loaded.
#include "support/TestHost.h"

#include "appearance/SoundBank.h"
#include "appearance/SoundCommands.h"
#include "appearance/SoundEffects.h"
#include "core/EventWait.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QtTest>

namespace {

// A player that plays nothing: it notes every start and stop and reports a
// started file as heard for a given time.
class RecordingPlayer : public SoundPlayer {
public:
    QStringList events;
    QHash<QString, int> lengthMs;

    void start(const QString& path) override
    {
        events << "start " + path;
        auto*& timer = m_heard[path];
        if (!timer) {
            timer = new QTimer(this);
            timer->setSingleShot(true);
            connect(timer, &QTimer::timeout, this, [this, path] { emit playingChanged(path); });
        }
        timer->start(lengthMs.value(path, 0));
        emit playingChanged(path);
    }
    void stop(const QString& path) override
    {
        events << "stop " + path;
        if (QTimer* timer = m_heard.value(path); timer && timer->isActive()) {
            timer->stop();
            emit playingChanged(path);
        }
    }
    bool isPlaying(const QString& path) const override
    {
        const QTimer* timer = m_heard.value(path);
        return timer && timer->isActive();
    }

private:
    QHash<QString, QTimer*> m_heard;
};

// Runs a click and tells how long it held the window.
qint64 msTaken(const std::function<void()>& action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    return clock.elapsed();
}

// The head of a wave file: RIFF, WAVE, a format chunk, a data chunk.
QByteArray waveHead(quint16 format, quint16 bits, quint32 dataBytes)
{
    QByteArray head;
    QDataStream out(&head, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint16 channels = 1;
    const quint32 rate = 22050;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << format << channels << rate << quint32(rate * bits / 8) << quint16(bits / 8) << bits;
    out.writeRawData("data", 4);
    out << dataBytes;
    return head;
}

// Waits for the file's sound in the bank to come to a status. It wakes as
// soon as the status changes, the way the program waits for a sound; the
// bank may make the sound anew meanwhile.
bool waitForStatus(const SoundBank& bank, const QString& path, QSoundEffect::Status wanted)
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const QSoundEffect* effect = bank.loaded(path);
        if (!effect)
            return false;
        if (effect->status() == wanted)
            return true;
        EventWait::forSignal(effect, &QSoundEffect::statusChanged, 100);
    }
    return false;
}

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void switchOnAndOff()
    {
        TestHost host(env);
        SoundCommands part(host);
        const SoundEffects& sounds = host.sounds();
        QCOMPARE(host.commandNames("Sound"),
                 QStringList({"lblSoundOn", "lblSoundOff", "Command1", "Command2", "Command3"}));
        QCOMPARE(host.command("lblSoundOn")->toolTip(), QString("Enable Soundeffects"));
        QCOMPARE(host.command("lblSoundOff")->toolTip(), QString("Mute Soundeffects"));
        for (const QString name : {"Command1", "Command2", "Command3"})
            QCOMPARE(host.command(name)->text(), name);

        // Every run starts muted; switching off again plays nothing.
        QVERIFY(host.appState.SoundMuted);
        host.click("lblSoundOff");
        QVERIFY(host.appState.SoundMuted);
        QCOMPARE(host.status().lblAction->text(), QString("Sound Off"));
        QVERIFY(sounds.requested().isEmpty());

        // Switching on confirms with the cipher sound and names the new
        // state only after its pause; the window runs during the pause.
        QString actionDuringPause;
        QTimer::singleShot(30, &host, [&] { actionDuringPause = host.status().lblAction->text(); });
        QVERIFY(msTaken([&] { host.click("lblSoundOn"); }) >= SoundCommands::kSoundOnHoldMs);
        QCOMPARE(actionDuringPause, QString("Sound Off"));
        QVERIFY(!host.appState.SoundMuted);
        QCOMPARE(host.status().lblAction->text(), QString("Sound On"));
        QCOMPARE(sounds.requested(), QStringList({"\\soundcipher.wav"}));

        // On twice confirms twice; off never sounds, and what the program
        // plays while muted is not heard.
        host.click("lblSoundOn");
        host.click("lblSoundOff");
        host.sounds().play("\\soundplain.wav");
        QVERIFY(host.appState.SoundMuted);
        QCOMPARE(host.status().lblAction->text(), QString("Sound Off"));
        QCOMPARE(sounds.requested(), QStringList({"\\soundcipher.wav", "\\soundcipher.wav"}));
    }

    void soundButtonsPlayAndHold()
    {
        TestHost host(env);
        SoundCommands part(host);
        const SoundEffects& sounds = host.sounds();

        // The buttons are heard while muted, each holding for its time.
        struct Case { const char* button; const char* file; int holdMs; };
        const Case cases[] = {{"Command1", "\\soundcipher.wav", 100},
                              {"Command2", "\\soundplain.wav", 80},
                              {"Command3", "\\soundrun.wav", 2000}};
        QStringList expected;
        for (const Case& c : cases) {
            int ticks = 0;
            QTimer tick;
            connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
            tick.start(20);
            QVERIFY2(msTaken([&] { host.click(c.button); }) >= c.holdMs, c.button);
            expected << c.file;
            QCOMPARE(sounds.requested(), expected);
            QVERIFY2(ticks >= 1, c.button); // the window went on running
        }
        QVERIFY(host.appState.SoundMuted);
    }

    void waitingThroughTheSeam()
    {
        RecordingPlayer player;
        player.lengthMs = {{"/a.wav", 150}, {"/b.wav", 40}, {"/long.wav", 5000}};

        // The wait ends with the sound, not with another file's sound.
        player.start("/a.wav");
        player.start("/b.wav");
        const qint64 taken = msTaken([&] { QVERIFY(player.waitUntilSilent("/a.wav", 3000)); });
        QVERIFY(taken >= 140);
        QVERIFY(!player.isPlaying("/a.wav"));

        // A sound longer than the limit: the wait gives up at the limit.
        player.start("/long.wav");
        QVERIFY(msTaken([&] { QVERIFY(!player.waitUntilSilent("/long.wav", 120)); }) >= 120);
        QVERIFY(player.isPlaying("/long.wav"));
        // Stopped meanwhile (from the window's events), the wait ends early.
        QTimer::singleShot(50, &player, [&] { player.stop("/long.wav"); });
        QVERIFY(player.waitUntilSilent("/long.wav", 3000));
        // Nothing playing: no wait at all.
        QVERIFY(player.waitUntilSilent("/never.wav", 0));
        QCOMPARE(player.events, QStringList({"start /a.wav", "start /b.wav", "start /long.wav", "stop /long.wav"}));
    }

    void wavesTheBankAccepts()
    {
        QVERIFY(isPlayableWave(waveHead(1, 16, 4)));
        QVERIFY(isPlayableWave(waveHead(1, 8, 4)));
        QVERIFY(isPlayableWave(waveHead(3, 32, 4)));     // floating point
        QVERIFY(!isPlayableWave(waveHead(2, 4, 4)));     // compressed
        QVERIFY(!isPlayableWave(waveHead(1, 12, 4)));    // odd sample size
        QVERIFY(!isPlayableWave(waveHead(1, 16, 4).replace(8, 4, "AVI ")));
        QVERIFY(!isPlayableWave(waveHead(1, 16, 4).left(30))); // cut in the format chunk
        QVERIFY(!isPlayableWave(QByteArray("RIFF\x04\0\0\0WAVE")));
        QVERIFY(!isPlayableWave(QByteArray()));

        // Other chunks may come first, an odd one padded to an even length.
        QByteArray listFirst = waveHead(1, 16, 4);
        listFirst.insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12));
        QVERIFY(isPlayableWave(listFirst));
        QByteArray unpadded = listFirst;
        unpadded.remove(23, 1);
        QVERIFY(!isPlayableWave(unpadded));

        // Every shipped sound is one.
        for (const QString name : {"\\soundcipher.wav", "\\soundplain.wav", "\\soundrun.wav", "/soundstart.wav",
                                   "/soundstop.wav"})
            QVERIFY2(isPlayableWave(env.readFile(name).left(4096)), qPrintable(name));
    }

    void bankKeepsEachFileLoaded()
    {
        const AppState state = env.makeState();
        SoundBank bank(nullptr, SoundBank::Device::AssumePresent);
        const QString plain = state.folder.file("\\soundplain.wav");

        // A flood of display sounds reads the file once.
        for (int i = 0; i < 300; ++i)
            bank.start(plain);
        QCOMPARE(bank.loads(), 1);
        QVERIFY(bank.loaded(plain));
        QVERIFY(waitForStatus(bank, plain, QSoundEffect::Ready));

        // Every shipped sound decodes in the player, each into its own sound.
        const QStringList names = {"\\soundcipher.wav", "\\soundrun.wav", "/soundstart.wav", "/soundstop.wav"};
        for (const QString& name : names)
            bank.start(state.folder.file(name));
        QCOMPARE(bank.loads(), 5);
        for (const QString& name : names)
            QVERIFY2(waitForStatus(bank, state.folder.file(name), QSoundEffect::Ready), qPrintable(name));

        // A missing file is not loaded and never heard; stopping it is harmless.
        const QString missing = state.folder.file("/nothing.wav");
        bank.start(missing);
        bank.stop(missing);
        QVERIFY(!bank.loaded(missing) && !bank.isPlaying(missing));
        QCOMPARE(bank.loads(), 5);

        // A file that is no wave is never handed to the decoder and never heard.
        env.writeFile("\\broken.wav", "RIFF....not a wave at all");
        const QString broken = state.folder.file("\\broken.wav");
        bank.start(broken);
        QVERIFY(!bank.loaded(broken) && !bank.isPlaying(broken));
        QCOMPARE(bank.loads(), 5);

        // A loaded sound stays loaded when its file changes; a broken file is
        // looked at again once it has been repaired.
        env.writeFile("\\soundplain.wav", env.readFile("\\soundstop.wav"));
        bank.start(plain);
        bank.start(broken);
        QCOMPARE(bank.loads(), 5);
        env.writeFile("\\broken.wav", env.readFile("/soundstart.wav"));
        bank.start(broken);
        QCOMPARE(bank.loads(), 6);
        QVERIFY(waitForStatus(bank, broken, QSoundEffect::Ready));

        // Without an audio device a detecting bank loads nothing at all.
        if (QMediaDevices::audioOutputs().isEmpty()) {
            SoundBank silent;
            silent.start(plain);
            QCOMPARE(silent.loads(), 0);
            QVERIFY(!silent.isPlaying(plain));
        }
    }
};

QTEST_MAIN(SoundsTest)
#include "tst_sounds.moc"
