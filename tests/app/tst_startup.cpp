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
#include "directory/frmUpdate.h"
#include "editor/frmHelp.h"
#include "link/TerminalText.h"
#include "link/frmProperties.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "text/frmCancelSend.h"

#include <QApplication>
#include <QtTest>

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
        const QString plain = configText({{0, "7"}, {6, "0.25 s"}, {7, "11151"}, {8, "x"}});
        QString commented = "// head\r\n" + plain;
        commented.insert(commented.indexOf("v3"), "//between values\r\n// more\r\n");
        const ConfigFile a = parseConfigText(plain, "cfg");
        const ConfigFile b = parseConfigText(commented, "cfg");
        QCOMPARE(a.values, b.values);
        QVERIFY(a.problems.isEmpty());
        QVERIFY(b.problems.isEmpty());

        AppState state;
        ConfigFile config = b;
        applyConfig(config, state, "cfg");
        QCOMPARE(state.DialPrefix, qint16(7));
        QCOMPARE(state.DateFormat, QString("v1"));
        QCOMPARE(state.StationId, QString("v2"));
        QCOMPARE(state.DirectoryServer, QString("v3"));
        QCOMPARE(state.CharDelay, 0.25);           // leading number of "0.25 s"
        QCOMPARE(state.RSendService1, 11151.0);
        QCOMPARE(state.RSendService2, 0.0);        // "x" holds no number
        QCOMPARE(state.ConfigLines.size(), 21);
        QVERIFY(config.problems.isEmpty());
    }

    void emptyLineShiftsAndBlankSlashIsAValue()
    {
        // An empty line after the prefix is the date format; everything
        // after it moves one place down and the last value falls off.
        QString text = configText({{0, "0"}});
        text.insert(text.indexOf("v1"), "\r\n");
        ConfigFile config = parseConfigText(text, "my.cfg");
        QCOMPARE(config.values[1], QString());
        QCOMPARE(config.values[2], QString("v1"));
        QCOMPARE(config.values[20], QString("v19"));
        QCOMPARE(config.problems.size(), 1);
        QVERIFY(config.problems[0].contains("my.cfg, line 22"));
        QVERIFY(config.problems[0].contains("more than 21"));

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
        QVERIFY(config.problems[0].contains("x.cfg, line 2"));
        QVERIFY(config.problems[0].contains("\"abc\""));
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
        QCOMPARE(few.values[1], QString("fmt"));
        QCOMPARE(few.values[2], QString());
        QCOMPARE(few.problems.size(), 1);

        // The shipped file has exactly 21 value lines and no problems.
        QCOMPARE(readConfigFile(env.file("\\QuillnetUsb.cfg")).problems, QStringList());
    }

    void numberTexts()
    {
        QCOMPARE(vbStr(qint64(12)), QString(" 12"));
        QCOMPARE(vbStr(qint64(0)), QString(" 0"));
        QCOMPARE(vbStr(qint64(-1)), QString("-1"));
        QCOMPARE(vbStr(1.5), QString(" 1.5"));
        QCOMPARE(leadingNumber("  42abc"), 42.0);
        QCOMPARE(leadingNumber("-0.5e1x"), -5.0);
        QCOMPARE(leadingNumber("1e"), 1.0);
        QCOMPARE(leadingNumber(".5"), 0.5);
        QCOMPARE(leadingNumber("abc"), 0.0);
        QCOMPARE(leadingNumber(""), 0.0);
        QCOMPARE(leadingNumber("."), 0.0);
        QCOMPARE(plainNumber(11151.0), QString("11151"));
    }

    void commandLineWords()
    {
        QCOMPARE(parseCommandLine({"/Color2", "/steam"}).words, QStringList({"/Color2", "/steam"}));
        QCOMPARE(parseCommandLine({"/Color2 /steam"}).words, QStringList({"/Color2", "/steam"}));
        QStringList many;
        for (int i = 0; i < 13; ++i)
            many << QString("w%1").arg(i);
        const CommandLineSwitches cut = parseCommandLine(many);
        QCOMPARE(cut.words.size(), 11);
        QVERIFY(cut.problem.contains("13 words"));
        QVERIFY(cut.problem.contains("\"w11\""));
        QVERIFY(parseCommandLine(many.mid(0, 11)).problem.isEmpty());
    }

    void windowAfterStartup()
    {
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        settings.save("Font", "FontName", "DejaVu Sans Mono");
        settings.save("Font", "FontSize", "14");
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({"/Color2", "/steam", "/color3"});

        QVERIFY(dialogs.asked.isEmpty());
        QCOMPARE(terminal.windowTitle(), QString("Quillnet USB Terminal  12345 vornak d"));
        QCOMPARE(terminal.terminal().toPlainText(), QString(" open port before using the interface "));
        QCOMPARE(terminal.status().lblAction->text(), QString("Program Parameters Loaded"));
        QCOMPARE(terminal.findChild<CommandLabel*>("lblRSend_1")->text(), QString("11151"));
        QCOMPARE(terminal.findChild<CommandLabel*>("lblRsend_2")->text(), QString("11162"));
        QCOMPARE(terminal.findChild<QLabel*>("Label15")->text(), QString("24/08/2026 10.3.13"));
        QCOMPARE(terminal.status().imgPort1->picture(), 2);
        QCOMPARE(state.SoundMuted, true);
        QCOMPARE(state.PreviewMode, true);
        QCOMPARE(terminal.terminal().font().family(), QString("DejaVu Sans Mono"));
        QCOMPARE(terminal.terminal().font().pointSize(), 14);
        // "/Color2" then "/steam"; "/color3" is not a switch (case counts).
        QCOMPARE(terminal.terminal().palette().color(QPalette::Text), QColor(0, 255, 255));
        QCOMPARE(terminal.terminal().palette().color(QPalette::Base), QColor(255, 255, 255));
        QCOMPARE(terminal.terminal().geometry().top(), 585 / 15);
        // Controls carry their names.
        for (const char* name : {"txtTerm", "lblOpen1", "lblProps", "lblCport1", "lblStatus1", "imgPort1",
                                 "lblAction", "lblMaxChar", "Line1", "lblExit", "lblVersion", "Label15"})
            QVERIFY2(terminal.findChild<QWidget*>(name), name);

        // The status line reads "Status: " two seconds after start.
        QTRY_COMPARE_WITH_TIMEOUT(terminal.status().lblAction->text(), QString("Status: "), 3000);
    }

    void everyWindowShowsItsOwnCaption()
    {
        // The application has a name but no display name, which the window
        // system would append to every caption.
        nameApplication();
        QCOMPARE(QCoreApplication::applicationName(), QString("vornak"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});
        frmProperties properties(terminal.link(), settings, dialogs);
        frmUpdate update(state, dialogs);
        frmCirculair receivers(state, dialogs);
        frmHeader header(state, dialogs, [](const QString&, int) {});
        frmHelp help(state.folder, settings);
        const QList<std::pair<QWidget*, QString>> windows = {
            {&terminal, "Quillnet USB Terminal  12345 vornak d"},
            {&properties, "Comm Settings"},
            {&update, " Quillnet Phonebook Update Utility "},
            {terminal.findChild<frmCancelSend*>(), "Quillnet"},
            {&receivers, " Quillnet Rundsenden List "},
            {&header, " Quillnet Header Rundsenden List "},
            {&help, "Quillnet USB Terminal Help"}};
        for (const auto& [window, caption] : windows)
            QCOMPARE(window->windowTitle(), caption);
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
        QVERIFY(dialogs.asked[0].text.contains("QuillnetUsb.cfg"));
        QCOMPARE(dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(dialogs.asked[1].text.contains("fast,n,8,1"));
        QCOMPARE(terminal.windowTitle(), QString("Quillnet USB Terminal  12345 vornak d"));
        QCOMPARE(state.DateFormat, QString("dd/mm/yyyy"));
        QCOMPARE(terminal.terminal().geometry().top(), 525 / 15); // the steam skin was not applied
    }
};

VORNAK_TEST_MAIN(StartupTest)

#include "tst_startup.moc"
