// The sound commands on a host of their own, the wait for the end of a sound
// through the player seam, and the player that keeps each file loaded.
#include "support/TestHost.h"

#include "appearance/SoundBank.h"
#include "appearance/SoundCommands.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QtTest>

namespace {

// A player that plays nothing: a started file is heard for a given time.
class TimedPlayer : public SoundPlayer {
public:
    QHash<QString, int> lengthMs;

    void start(const QString& path) override
    {
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

// Whether the file's sound in the bank is ready to be heard (the bank may
// make a sound anew while it loads).
bool isReady(const SoundBank& bank, const QString& path)
{
    const QSoundEffect* effect = bank.loaded(path);
    return effect && effect->status() == QSoundEffect::Ready;
}

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void theSwitchAndTheSoundButtons()
    {
        TestHost host(env);
        SoundCommands part(host);
        const SoundEffects& sounds = host.sounds();
        QCOMPARE(host.commandNames("Sound"),
                 QStringList({"lblSoundOn", "lblSoundOff", "Command1", "Command2", "Command3"}));
        QCOMPARE(host.command("lblSoundOn")->toolTip() + "|" + host.command("lblSoundOff")->toolTip(),
                 QString("Enable Soundeffects|Mute Soundeffects"));
        for (const QString name : {"Command1", "Command2", "Command3"})
            QCOMPARE(host.command(name)->text(), name);

        const auto lit = [&host] { // the switch in force is lit, as the klkl key is
            return QString::number(host.command("lblSoundOn")->captionColor() == QColor(0x00FF00))
                   + QString::number(host.command("lblSoundOff")->captionColor() == QColor(0x00FF00));
        };
        // Every run starts muted; switching off again plays nothing.
        QVERIFY(host.appState.SoundMuted);
        QCOMPARE(lit(), QString("01"));
        host.click("lblSoundOff");
        QVERIFY(host.appState.SoundMuted && sounds.requested().isEmpty());
        QCOMPARE(host.status().lblAction->text(), QString("Sound Off"));

        // Switching on confirms with the cipher sound and names the new
        // state only after its pause; the window runs during the pause.
        QString actionDuringPause;
        QTimer::singleShot(30, &host, [&] { actionDuringPause = host.status().lblAction->text(); });
        QVERIFY(msTaken([&] { host.click("lblSoundOn"); }) >= SoundCommands::kSoundOnHoldMs);
        QVERIFY(!host.appState.SoundMuted);
        QCOMPARE(lit(), QString("10"));
        QCOMPARE(actionDuringPause + "|" + host.status().lblAction->text(), QString("Sound Off|Sound On"));
        QCOMPARE(sounds.requested(), QStringList({"\\soundcipher.wav"}));

        // On twice confirms twice; off never sounds, and what the program
        // plays while muted is not heard.
        host.click("lblSoundOn");
        host.click("lblSoundOff");
        host.sounds().play("\\soundplain.wav");
        QVERIFY(host.appState.SoundMuted);
        QCOMPARE(lit(), QString("01"));
        QCOMPARE(host.status().lblAction->text(), QString("Sound Off"));
        QStringList expected = {"\\soundcipher.wav", "\\soundcipher.wav"};
        QCOMPARE(sounds.requested(), expected);

        // The buttons are heard while muted, each holding for its time with
        // the window running.
        const std::tuple<const char*, const char*, int> buttons[] = {
            {"Command1", "\\soundcipher.wav", 100}, {"Command2", "\\soundplain.wav", 80}, {"Command3", "\\soundrun.wav", 2000}};
        for (const auto& [button, file, holdMs] : buttons) {
            int ticks = 0;
            QTimer tick;
            connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
            tick.start(20);
            QVERIFY2(msTaken([&] { host.click(button); }) >= holdMs, button);
            QCOMPARE(sounds.requested(), expected << file);
            QVERIFY2(ticks >= 1, button);
        }
        QVERIFY(host.appState.SoundMuted);
    }

    void waitingThroughTheSeam()
    {
        TimedPlayer player;
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
        // Stopped meanwhile (from the window's events), the wait ends then:
        // a wait that sat out its limit would find the sound started again.
        QTimer::singleShot(50, &player, [&] { player.stop("/long.wav"); });
        QTimer::singleShot(1000, &player, [&] { player.start("/long.wav"); });
        QVERIFY(player.waitUntilSilent("/long.wav", 3000));
        // Nothing playing: no wait at all.
        QVERIFY(player.waitUntilSilent("/never.wav", 0));
    }

    void wavesTheBankAccepts()
    {
        // Other chunks may come first, an odd one padded to an even length.
        QByteArray listFirst = waveHead(1, 16, 4);
        listFirst.insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12));
        const std::tuple<const char*, QByteArray, bool> heads[] = {
            {"16-bit", waveHead(1, 16, 4), true}, {"8-bit", waveHead(1, 8, 4), true},
            {"floating point", waveHead(3, 32, 4), true}, {"compressed", waveHead(2, 4, 4), false},
            {"odd sample size", waveHead(1, 12, 4), false}, {"no WAVE", waveHead(1, 16, 4).replace(8, 4, "AVI "), false},
            {"cut in the format chunk", waveHead(1, 16, 4).left(30), false},
            {"no format chunk", QByteArray("RIFF\x04\0\0\0WAVE"), false}, {"nothing", QByteArray(), false},
            {"a chunk before", listFirst, true}, {"an odd chunk unpadded", QByteArray(listFirst).remove(23, 1), false}};
        for (const auto& [what, head, playable] : heads)
            QVERIFY2(isPlayableWave(head) == playable, what);
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
        QTRY_VERIFY_WITH_TIMEOUT(isReady(bank, plain), 5000);

        // Every shipped sound decodes in the player, each into its own sound.
        const QStringList names = {"\\soundcipher.wav", "\\soundrun.wav", "/soundstart.wav", "/soundstop.wav"};
        for (const QString& name : names)
            bank.start(state.folder.file(name));
        QCOMPARE(bank.loads(), 5);
        for (const QString& name : names)
            QTRY_VERIFY2_WITH_TIMEOUT(isReady(bank, state.folder.file(name)), qPrintable(name), 5000);

        // A missing file, and a file that is no wave (never handed to the
        // decoder), are not loaded and never heard; stopping them is harmless.
        env.writeFile("\\broken.wav", "RIFF....not a wave at all");
        const QString broken = state.folder.file("\\broken.wav");
        for (const QString& path : {state.folder.file("/nothing.wav"), broken}) {
            bank.start(path);
            bank.stop(path);
            QVERIFY2(!bank.loaded(path) && !bank.isPlaying(path), qPrintable(path));
        }
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
        QTRY_VERIFY_WITH_TIMEOUT(isReady(bank, broken), 5000);

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
