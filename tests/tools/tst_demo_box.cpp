// End to end: the real vornak-box program on a pseudo-terminal and the
// terminal window talking to it, as in the demo.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "BoxSimulator.h"
#include "app/SettingsStore.h"
#include "app/terminal.h"
#include "link/TerminalText.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

class DemoBoxTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void simulatorAnswersLikeABox()
    {
        BoxSimulator::Options options;
        options.charDelayMs = 0;
        options.dialDelayMs = 50;
        BoxSimulator box(options);
        QByteArray out;
        connect(&box, &BoxSimulator::output, this, [&](const QByteArray& bytes) { out += bytes; });

        box.receive("\r");
        QCOMPARE(out, QByteArray("\r\n"));
        out.clear();
        box.receive("\x17");
        QCOMPARE(out, QByteArray("\r\n12345 vornak d\r\n"));
        out.clear();
        box.receive("\x01 04711");
        QCOMPARE(box.state(), BoxSimulator::State::Dialling);
        QTRY_COMPARE(box.state(), BoxSimulator::State::Connected);
        QCOMPARE(box.dialledNumber(), QString("04711"));
        QVERIFY(out.endsWith("\r\n04711 demo d\r\n"));
        out.clear();
        box.receive("hi\r+?");
        QVERIFY(out.startsWith("hi\r\n"));
        QVERIFY(out.contains("3 characters received here. klkl"));
        out.clear();
        box.receive("\x13");
        QCOMPARE(box.state(), BoxSimulator::State::Idle);

        // A broadcast service asks for its receivers and takes them.
        box.receive("\x01 11151\r");
        QCOMPARE(box.state(), BoxSimulator::State::Broadcast);
        QVERIFY(out.endsWith(" +++):"));
        out.clear();
        box.receive("\n\r1234,\r56789,\r56789+\r");
        QCOMPARE(box.state(), BoxSimulator::State::Connected);
        QVERIFY(out.contains("3 receivers noted"));
    }

    void terminalTalksToTheBoxProgram()
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak-box";
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        QProcess boxProcess;
        const QString pathFile = env.folder() + "/box.path";
        const QString logFile = env.folder() + "/box.log";
        boxProcess.start(program, {"--path-file", pathFile, "--log", logFile, "--char-delay", "1",
                                   "--dial-delay", "300"});
        QVERIFY(boxProcess.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pathFile).size() > 0, 5000);
        QFile path(pathFile);
        QVERIFY(path.open(QIODevice::ReadOnly));
        const QString device = QString::fromLocal8Bit(path.readAll()).trimmed();

        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Ports", "Com1", device);
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});
        terminal.lblOpen1_Click();
        QVERIFY(terminal.link().isOpen());

        const auto window = [&] { return terminal.txtTerm->lineText(); };
        terminal.CallNumber("4711", "    Demo");
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("4711 demo d"), 5000);
        QCOMPARE(state.ConnectionActive, qint16(1));
        for (const char c : QByteArray("hello"))
            QTest::keyClick(terminal.txtTerm, c);
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("hello"), 5000);
        QTest::mouseClick(terminal.findChild<CommandLabel*>("lblGoAhead"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window().contains("5 characters received here"), 5000);

        boxProcess.terminate();
        boxProcess.waitForFinished(3000);
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray logged = log.readAll();
        QVERIFY(logged.contains("dialling 04711"));
        QVERIFY(logged.contains("<01>"));
        // The box went away with the port open: the window says so once.
        QTRY_VERIFY_WITH_TIMEOUT(!terminal.link().isOpen(), 5000);
        QCOMPARE(dialogs.asked.size(), 1);
    }
};

int main(int argc, char** argv)
{
    DemoBoxTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_demo_box.moc"
