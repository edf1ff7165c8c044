// Start-up: the configuration file, the number texts, the command line and
// the window the program opens with.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestMain.h"

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Config.h"
#include "app/terminal.h"
#include "core/SettingsStore.h"
#include "core/VbText.h"
#include "link/TerminalText.h"
#include "link/frmProperties.h"

#include <QProcess>

namespace {

// 21 value lines "v0".."v20" with the given replacements.
QString configText(const QMap<int, QString>& values = {})
{
    QStringList lines;
    for (int i = 0; i < 21; ++i)
        lines << values.value(i, QStringLiteral("v%1").arg(i));
    return lines.join("\r\n") + "\r\n";
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void configValuesAndComments()
    {
        // Comment lines anywhere are skipped; the values are drawn from their
        // lines ("0.25 s" by its leading number, "x" holds none).
        const QString plain = configText({{0, "7"}, {6, "0.25 s"}, {7, "11151"}, {8, "x"}});
        QString commented = "// head\r\n" + plain;
        commented.insert(commented.indexOf("v3"), "//between values\r\n// more\r\n");
        const ConfigFile a = parseConfigText(plain, "cfg");
        ConfigFile b = parseConfigText(commented, "cfg");
        QCOMPARE(a.values, b.values);
        AppState state;
        applyConfig(b, state, "cfg");
        QCOMPARE(QStringList({QString::number(state.DialPrefix), state.DateFormat, state.StationId,
                              state.DirectoryServer, QString::number(state.CharDelay),
                              QString::number(state.RSendService1), QString::number(state.RSendService2)}),
                 QStringList({"7", "v1", "v2", "v3", "0.25", "11151", "0"}));
        QVERIFY(state.ConfigLines.size() == 21 && a.problems.isEmpty() && b.problems.isEmpty());

        // An empty line after the prefix is the date format; everything
        // after it moves one place down and the last value falls off.
        QString text = configText({{0, "0"}});
        text.insert(text.indexOf("v1"), "\r\n");
        const ConfigFile shifted = parseConfigText(text, "my.cfg");
        QCOMPARE(QStringList({shifted.values[1], shifted.values[2], shifted.values[20]}), QStringList({"", "v1", "v19"}));
        QCOMPARE(shifted.problems.size(), 1);
        QVERIFY2(shifted.problems[0].contains("my.cfg, line 22") && shifted.problems[0].contains("more than 21"),
                 qPrintable(shifted.problems[0]));
        // A value that starts with blanks and "//" is no comment.
        const ConfigFile slash = parseConfigText(configText({{0, "0"}, {1, " //not a comment"}}), "c");
        QCOMPARE(slash.values[1], QString(" //not a comment"));
        QVERIFY(slash.problems.isEmpty());
    }

    void badFilesStillGiveAWorkingConfiguration()
    {
        // No whole number in the first value line: named with its line.
        AppState state;
        ConfigFile config = parseConfigText("// c\r\n" + configText({{0, "abc"}}), "x.cfg");
        applyConfig(config, state, "x.cfg");
        QCOMPARE(state.DialPrefix, qint16(0));
        QCOMPARE(config.problems.size(), 1);
        QVERIFY2(config.problems[0].contains("x.cfg, line 2") && config.problems[0].contains("\"abc\""),
                 qPrintable(config.problems[0]));
        config = parseConfigText(configText({{0, "99999"}}), "x.cfg");
        applyConfig(config, state, "x.cfg");
        QCOMPARE(config.problems.size(), 1);

        // Missing file: the built-in configuration and a message naming it.
        const ConfigFile missing = readConfigFile(env.file("\\nothing.cfg"));
        QCOMPARE(missing.values.size(), 21);
        QCOMPARE(missing.values[1], QString("dd/mm/yyyy"));
        QCOMPARE(missing.problems.size(), 1);
        QVERIFY(missing.problems[0].contains(env.file("\\nothing.cfg")));

        // Comments only, and too few lines.
        const ConfigFile onlyComments = parseConfigText("// a\n// b\n", "c.cfg");
        QCOMPARE(onlyComments.values, builtInConfig().values);
        QCOMPARE(onlyComments.problems.size(), 1);
        const ConfigFile few = parseConfigText("5\nfmt\n", "c.cfg");
        QCOMPARE(few.values.size(), 21);
        QCOMPARE(QStringList({few.values[1], few.values[2]}), QStringList({"fmt", ""}));
        QCOMPARE(few.problems.size(), 1);

        // The shipped file has exactly 21 value lines and no problems.
        QCOMPARE(readConfigFile(env.file("\\QuillnetUsb.cfg")).problems, QStringList());
    }

    void numberTextsAndCommandLineWords()
    {
        QCOMPARE(QStringList({vbStr(qint64(12)), vbStr(qint64(0)), vbStr(qint64(-1)), vbStr(1.5), plainNumber(11151.0)}),
                 QStringList({" 12", " 0", "-1", " 1.5", "11151"}));
        const std::pair<QString, double> leading[] = {{"  42abc", 42.0}, {"-0.5e1x", -5.0}, {"1e", 1.0}, {".5", 0.5},
                                                      {"abc", 0.0},      {"", 0.0},         {".", 0.0}};
        for (const auto& [text, number] : leading)
            QCOMPARE(leadingNumber(text), number);

        // Words at blanks, eleven at most.
        QCOMPARE(parseCommandLine({"/Color2", "/steam"}).words, QStringList({"/Color2", "/steam"}));
        QCOMPARE(parseCommandLine({"/Color2 /steam"}).words, QStringList({"/Color2", "/steam"}));
        QStringList many;
        for (int i = 0; i < 13; ++i)
            many << QString("w%1").arg(i);
        const CommandLineSwitches cut = parseCommandLine(many);
        QCOMPARE(cut.words, many.mid(0, 11));
        QVERIFY2(cut.problem.contains("13 words") && cut.problem.contains("\"w11\""), qPrintable(cut.problem));
        QVERIFY(parseCommandLine(many.mid(0, 11)).problem.isEmpty());
    }

    void windowAfterStartup()
    {
        // The application has a name but no display name, which the window
        // system would append to every caption.
        nameApplication();
        QCOMPARE(QCoreApplication::applicationName(), QString("vornak"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Font", "FontName", "DejaVu Sans Mono");
        settings.save("Font", "FontSize", "14");
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({"/Color2", "/steam", "/color3"});

        QVERIFY(dialogs.asked.isEmpty() && state.SoundMuted && state.PreviewMode);
        QCOMPARE(QStringList({terminal.terminal().toPlainText(), terminal.status().lblAction->text(),
                              terminal.findChild<CommandLabel*>("lblRSend_1")->text(),
                              terminal.findChild<CommandLabel*>("lblRsend_2")->text(),
                              terminal.findChild<QLabel*>("Label15")->text(),
                              QString::number(terminal.status().imgPort1->picture()),
                              terminal.findChild<CommandLabel*>("lblPresetText_0")->text()}),
                 QStringList({" open port before using the interface ", "Program Parameters Loaded", "11151", "11162",
                              "24/08/2026 10.3.13", "2", "ok, received well, thanks"}));
        QCOMPARE(terminal.terminal().font().family() + " " + QString::number(terminal.terminal().font().pointSize()),
                 QString("DejaVu Sans Mono 14"));
        // "/Color2" then "/steam"; "/color3" is not a switch (case counts).
        const QPalette palette = terminal.terminal().palette();
        QVERIFY(palette.color(QPalette::Text) == QColor(0, 255, 255) && palette.color(QPalette::Base) == QColor(Qt::white));
        QCOMPARE(terminal.terminal().geometry().top(), 585 / 15);
        // Controls carry their names.
        for (const char* name : {"txtTerm", "lblOpen1", "lblProps", "lblCport1", "lblStatus1", "imgPort1",
                                 "lblAction", "lblMaxChar", "Line1", "lblExit", "lblVersion", "Label15"})
            QVERIFY2(terminal.findChild<QWidget*>(name), name);

        // The captions of the window and of the port settings (the other
        // windows' captions are checked with their windows).
        frmProperties properties(terminal.link(), settings, dialogs);
        QCOMPARE(terminal.windowTitle() + "|" + properties.windowTitle(),
                 QString("Quillnet USB Terminal  12345 vornak d|Comm Settings"));

        // The status line reads "Status: " two seconds after start.
        QTRY_COMPARE_WITH_TIMEOUT(terminal.status().lblAction->text(), QString("Status: "), 3000);
    }

    void startupProblemsAreReportedAndTheWindowStillOpens()
    {
        QFile::remove(env.file("\\QuillnetUsb.cfg"));
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Properties", "Settings", "fast,n,8,1");
        frmTerminal terminal(state, dialogs, settings);
        QStringList words;
        for (int i = 0; i < 12; ++i)
            words << "/steam";
        terminal.Form_Load(words);
        // Missing file, then the refused stored settings; start-up stops
        // there, before the command line.
        QCOMPARE(dialogs.asked.size(), 2);
        QVERIFY(dialogs.asked[0].text.contains("QuillnetUsb.cfg") && dialogs.asked[1].text.contains("fast,n,8,1"));
        QCOMPARE(dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(terminal.windowTitle(), QString("Quillnet USB Terminal  12345 vornak d"));
        QCOMPARE(state.DateFormat, QString("dd/mm/yyyy"));
        QCOMPARE(terminal.terminal().geometry().top(), 525 / 15); // the steam skin was not applied
        // Nor were the preset phrases loaded.
        for (const CommandLabel* phrase : terminal.findChild<QWidget*>("framePresetText")->findChildren<CommandLabel*>())
            QVERIFY2(phrase->text().isEmpty(), qPrintable(phrase->text()));
    }

    // The program itself with an empty environment: no display, no platform
    // named. The usage and the version need no window; a start without a
    // display says why and ends with status 1 instead of crashing.
    void theProgramWithoutDisplay()
    {
        const QString program = qEnvironmentVariable("VORNAK_BUILD_DIR") + "/vornak";
        if (!QFileInfo::exists(program))
            QSKIP("build the vornak program first (cmake --build build --target vornak)");
        struct Case {
            QStringList arguments;
            int exit;
            QStringList out; // each must stand in standard output
            QString err;     // must stand in standard error; empty: nothing there
        };
        const QString version = "vornak 10.3.13\n";
        const Case cases[] = {
            {{"--help"}, 0, {"Usage: vornak", "/steam", "/Color1", "/Color2", "/Color3", "/Color4", "vornak send FILE --to NUMBER",
                             "--port N", "--answerback", "--timeout S", "--version", "VORNAK_DIR", "VORNAK_DEMO",
                             "XDG_CONFIG_HOME", "XDG_DATA_HOME"}, ""},
            {{"/steam", "-h"}, 0, {"Usage: vornak"}, ""},
            {{"--version"}, 0, {version}, ""},
            {{"/Color1"}, 1, {}, "vornak: the window cannot be opened: no display is named (DISPLAY is not set)"},
        };
        for (const Case& c : cases) {
            QProcess vornak;
            QProcessEnvironment empty;
            empty.insert("HOME", env.configHome());
            vornak.setProcessEnvironment(empty);
            vornak.start(program, c.arguments);
            const QString what = c.arguments.join(' ');
            QVERIFY2(vornak.waitForFinished(60000), qPrintable(what));
            const QString out = vornak.readAllStandardOutput();
            const QString err = vornak.readAllStandardError();
            QVERIFY2(vornak.exitStatus() == QProcess::NormalExit && vornak.exitCode() == c.exit,
                     qPrintable(what + ": status " + QString::number(vornak.exitCode()) + "\n" + err));
            for (const QString& word : c.out)
                QVERIFY2(out.contains(word), qPrintable(what + ": " + word + " is missing in:\n" + out));
            QVERIFY2(c.err.isEmpty() ? err.isEmpty() : err.contains(c.err), qPrintable(what + ": " + err));
            if (c.exit != 0)
                QVERIFY2(out.isEmpty(), qPrintable(what + ": " + out));
        }
    }
};

VORNAK_TEST_MAIN(StartupTest)

#include "tst_startup.moc"
