// `vornak station`: the program itself, without a display, against the real
// vornak-box: messages archived, the KLKL answer, the box gone and back,
// SIGTERM; and one program holding a port at a time.
#include "support/BoxProgram.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "archive/ArchiveStore.h"
#include "station/StationArguments.h"

#include <QProcess>

namespace {

const QByteArray DC3("\x13");
// The answer file of the KLKL test: umlauts and a word longer than a line.
const QByteArray kKlkl = QByteArray("Gr\xc3\xbc\xc3\x9f" "e aus K\xc3\xb6ln\r\n") + QByteArray(100, 'x') + "\r\n";

// The station program, its log read line by line as it comes.
struct StationProgram {
    QProcess process;
    QStringList lines;
    QByteArray pending;

    explicit StationProgram(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // No display of any kind.
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        process.setProcessEnvironment(environment);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [this] {
            pending += process.readAllStandardOutput();
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                lines << QString::fromLatin1(pending.left(end));
                pending.remove(0, end + 1);
            }
        });
        process.start(qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak", QStringList{"station"} + arguments);
    }
    ~StationProgram()
    {
        process.kill();
        process.waitForFinished(3000);
    }
    // The first log line from `from` on that starts with `prefix` (after
    // its priority), waited for; empty when none came in time.
    QString waitFor(const QString& prefix, qsizetype from = 0, int timeoutMs = 10000)
    {
        QString found;
        (void)QTest::qWaitFor([&] { // the line found, or none, says it
            for (qsizetype i = from; i < lines.size(); ++i) {
                const QString text = lines[i].section('>', 1);
                if (text.startsWith(prefix)) {
                    found = lines[i];
                    return true;
                }
            }
            return false;
        }, timeoutMs);
        return found;
    }
};

} // namespace

class StationTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // The port the station opens: a link the test points at the box of the moment.
    QString linkPath() const { return env.folder() + "/ttyBox"; }
    void pointLinkAt(const QString& device)
    {
        QFile::remove(linkPath());
        QVERIFY(QFile::link(device, linkPath()));
        SettingsStore settings;
        settings.save("Ports", "Com1", linkPath());
        settings.sync();
    }
    // A message for the box to deliver.
    QString messageFile(const QByteArray& text)
    {
        static int count = 0;
        const QString name = QStringLiteral("/deliver-%1.txt").arg(++count);
        env.writeFile(name, text);
        return env.file(name);
    }
    static void deliver(BoxProgram& box, const QString& file) { box.process.write("/deliver " + file.toLocal8Bit() + "\n"); }
    // A quick line: the configured character pause made short.
    void shortCharDelay()
    {
        QByteArray config = env.readFile("\\QuillnetUsb.cfg");
        QVERIFY(config.contains("\r\n0.15\r\n"));
        env.writeFile("\\QuillnetUsb.cfg", config.replace("\r\n0.15\r\n", "\r\n0.002\r\n"));
    }

private slots:
    void init() { env.reset(); }

    void commandLine()
    {
        const auto request = [](const QString& line) {
            const StationArguments parsed = parseStationArguments(line.split(' ', Qt::SkipEmptyParts));
            if (!parsed.request)
                return "refused: " + parsed.problem;
            const StationRequest& r = *parsed.request;
            return QStringLiteral("%1 %2 %3 %4").arg(r.port ? QString::number(*r.port) : "-", r.klkl ? "klkl" : "-",
                                                     r.archiveFolder.isEmpty() ? "-" : r.archiveFolder).arg(r.quietSeconds);
        };
        QCOMPARE(request(""), QString("- - - 30"));
        QCOMPARE(request("--port 3 --klkl --archive /srv/telex --quiet-seconds 2.5"), QString("3 klkl /srv/telex 2.5"));
        QCOMPARE(request("--port=32 --quiet-seconds=0.1"), QString("32 - - 0.1"));
        for (const QString& wrong : {"--port 0", "--port 33", "--port", "--quiet-seconds 0", "--quiet-seconds soon",
                                     "--klkl=1", "--archive=", "--fast", "now"}) {
            const QString said = request(wrong);
            QVERIFY2(said.startsWith("refused: ") && said.size() > 12 && !said.contains('\n'), qPrintable(wrong));
        }
        QVERIFY(parseStationArguments({"--klkl", "--help"}).help);
        const QString help = stationHelpText();
        for (const QString& word : {"--port N", "--klkl", "--archive DIR", "--quiet-seconds S", "  0  ", "  2  ", "  3  ",
                                    "  4  ", "  6  ", "SIGTERM"})
            QVERIFY2(help.contains(word), qPrintable(word));
    }

    // The program against the box: a message arrives and is archived; klkl
    // is answered as the window answers it; the box goes and comes back;
    // SIGTERM in the middle of a message.
    void stationWithTheBox()
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak";
        if (!QFileInfo::exists(program))
            QSKIP("build the vornak program first (cmake --build build --target vornak)");
        shortCharDelay();
        env.writeFile("\\klkl.txt", kKlkl);

        const QStringList boxOptions = {"--char-delay", "1", "--deliver-pace", "1", "--deliver-quiet", "100"};
        auto box = std::make_unique<BoxProgram>(env, boxOptions);
        pointLinkAt(box->device);
        StationProgram station({"--klkl", "--quiet-seconds", "0.4"});
        QCOMPARE(station.waitFor("port opened: "), "<6>port opened: Com 1 (" + linkPath() + ")");
        QVERIFY(station.lines.first().startsWith("<6>vornak station on Com 1: archive " + env.folder() + "/archive"));

        // A message arrives: archived as the window shows it.
        deliver(*box, messageFile("ZCZC 815\nweather: fair\nNNNN\n"));
        const QString ended = station.waitFor("message ended: ");
        const QString file = ended.section("ended: ", 1).section(',', 0, 0);
        QCOMPARE(ended, "<6>message ended: " + file + ", 31 characters: ZCZC 815");
        QVERIFY(!station.waitFor("message started: " + file).isEmpty());
        const ArchiveStore store(env.folder() + "/archive");
        QCOMPARE(BoxProgram::contents(store.absolute(file)), QByteArray("ZCZC 815\r\nweather: fair\r\nNNNN\r\n"));

        // "klkl" from the far side: the station's answer is the window's
        // (which the window sends meanwhile to a line of its own).
        qsizetype mark = box->received().size();
        deliver(*box, messageFile("please klkl\n"));
        QByteArray windowAnswer;
        {
            TerminalRig rig(env, true, 0.002);
            rig.SendKLKL();
            windowAnswer = rig.received(1, 10000);
        }
        QVERIFY(windowAnswer.size() > 100);
        QVERIFY(!station.waitFor("klkl answered (").isEmpty());
        QTRY_COMPARE(box->received().mid(mark), windowAnswer);

        // The box goes (its device node with it) and comes back.
        qsizetype from = station.lines.size();
        box->process.kill();
        QVERIFY(!station.waitFor("port lost: ", from).isEmpty());
        QFile::remove(linkPath());
        box = std::make_unique<BoxProgram>(env, boxOptions);
        pointLinkAt(box->device);
        QCOMPARE(station.waitFor("port reopened: ", from), "<5>port reopened: Com 1 (" + linkPath() + ")");
        deliver(*box, messageFile("after the break\n"));
        const QString again = station.waitFor("message ended: ", station.lines.size() - 1);
        QVERIFY2(again.endsWith(": after the break"), qPrintable(again));

        // SIGTERM while a message comes in: it is finished with what came.
        box->process.write("/deliver " + messageFile(QByteArray("slow text ").repeated(30) + "\n").toLocal8Bit() + "\n");
        from = station.lines.size();
        const QString started = station.waitFor("message started: ", from);
        QVERIFY(!started.isEmpty());
        QTest::qWait(100);
        station.process.terminate();
        QVERIFY(station.process.waitForFinished(10000));
        QCOMPARE(station.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(station.process.exitCode(), int(kStationStopped));
        station.process.waitForReadyRead(100);
        const QString last = started.section("started: ", 1);
        const QString closed = station.waitFor("message ended: " + last, from, 1000);
        const qint64 characters = closed.section(", ", 1).section(' ', 0, 0).toLongLong();
        QVERIFY2(characters > 0 && characters < 300, qPrintable(closed));
        QCOMPARE(BoxProgram::contents(store.absolute(last)).size(), characters);
        QVERIFY(station.lines.last().endsWith(">stopped"));
        // Newest first; the box printed the KLKL answer back, which came
        // after the quiet time and so is a message of its own.
        QStringList firstLines;
        for (const ArchivedMessage& message : store.list(false).messages)
            firstLines << message.firstLine;
        // (The answer's line ends are line feeds, which the window does not show.)
        QVERIFY2(firstLines.size() == 5 && firstLines[0].startsWith("slow text")
                     && firstLines[2].startsWith(QString::fromLatin1("Grue\xdf" "e aus Koelnxxx")),
                 qPrintable(firstLines.join(" / ")));
        QCOMPARE(firstLines.mid(3), QStringList({"please klkl", "ZCZC 815"}));
        QCOMPARE(firstLines[1], QString("after the break"));
        // The station made no call, so it sent no close.
        QVERIFY(!box->received().contains(DC3));
    }

    // One program holds a port: the window names the station that holds
    // it, the station names the program that holds it; and the exit codes
    // of a station that cannot start.
    void onePortOneHolder()
    {
        BoxProgram box(env);
        pointLinkAt(box.device);
        {
            StationProgram station({});
            QVERIFY(!station.waitFor("port opened: ").isEmpty());
            TerminalRig rig(env, false);
            rig.settings.save("Ports", "Com1", box.device);
            rig.click("lblOpen1");
            QCOMPARE(rig.dialogs.texts().size(), 1);
            const QString said = rig.dialogs.texts().first();
            QVERIFY2(said.contains(QStringLiteral("is in use by the Vornak station (process %1)").arg(station.process.processId())),
                     qPrintable(said));
            QVERIFY(!rig.terminal->link().isOpen());
        }
        {
            SettingsStore settings;
            SerialLink window(settings);
            QVERIFY(window.open());
            StationProgram station({});
            QVERIFY(station.process.waitForFinished(10000));
            QCOMPARE(station.process.exitCode(), int(kStationPort));
            const QString said = QString::fromLocal8Bit(station.process.readAllStandardError());
            QVERIFY2(said.startsWith("vornak station: ")
                         && said.contains(QStringLiteral("(process %1)").arg(QCoreApplication::applicationPid())),
                     qPrintable(said));
        }

        // Nothing it can start with.
        const auto exitOf = [](const QStringList& arguments) {
            StationProgram station(arguments);
            station.process.waitForFinished(10000);
            return std::pair(station.process.exitCode(), QString::fromLocal8Bit(station.process.readAllStandardError()));
        };
        QCOMPARE(exitOf({"--port", "0"}).first, int(kStationUsage));
        env.writeFile("/not-a-folder", "x");
        const auto [archiveExit, archiveSaid] = exitOf({"--archive", env.folder() + "/not-a-folder"});
        QVERIFY2(archiveExit == kStationArchive && archiveSaid.contains("not-a-folder"), qPrintable(archiveSaid));
        QFile::remove(env.file("\\klkl.txt"));
        const auto [klklExit, klklSaid] = exitOf({"--klkl"});
        QVERIFY2(klklExit == kStationFile && klklSaid.contains("klkl.txt"), qPrintable(klklSaid));
        // None of them touched the line.
        QCOMPARE(box.received(), QByteArray());
    }
};

VORNAK_TEST_MAIN(StationTest)
#include "tst_station.moc"
