#include "app/Application.h"

#include "app/Config.h"
#include "app/QtDialogs.h"
#include "app/terminal.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "station/StationArguments.h"
#include "station/StationCommand.h"
#include "unattended/SendArguments.h"
#include "unattended/SendCommand.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void nameApplication()
{
    QCoreApplication::setApplicationName("vornak");
}

void endWithoutWindowSystem(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString display = qEnvironmentVariable("DISPLAY");
    QString why;
    if (!platform.isEmpty())
        why = QStringLiteral("the window system \"%1\" named by QT_QPA_PLATFORM could not be started").arg(platform);
    else if (display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        why = QStringLiteral("no display is named (DISPLAY is not set)");
    else
        why = QStringLiteral("the display \"%1\" could not be reached").arg(display);
    std::fprintf(stderr,
                 "vornak: the window cannot be opened: %s. Start Vornak in a desktop session; "
                 "\"vornak send\" sends a file without a window.\n",
                 qPrintable(why));
    std::fflush(stderr);
    // Qt is half made: end here, without running any clean-up.
    std::_Exit(1);
}

int runTerminal(const QStringList& arguments)
{
    AppState state;
    state.folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());

    SettingsStore settings;
    QtDialogs dialogs;
    frmTerminal terminal(state, dialogs, settings);
    dialogs.setParentWindow(&terminal);
    QObject::connect(&terminal, &frmTerminal::programEnded, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    terminal.Form_Load(arguments);
    terminal.show();
    return QApplication::exec();
}

namespace {

// The program's state for a command without a window: the folder and the
// configuration. The window shows the configuration's problems in message
// boxes; here they are notes on standard error (not for --help), and the
// values the window would use are used.
AppState headlessState(const QString& command, bool notes, QTextStream& err)
{
    AppState state;
    state.folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());
    const QString configPath = state.folder.file("\\QuillnetUsb.cfg");
    ConfigFile config = readConfigFile(configPath);
    applyConfig(config, state, configPath);
    if (notes) {
        for (QString problem : std::as_const(config.problems))
            err << command << ": note: " << problem.replace('\n', ' ') << Qt::endl;
    }
    return state;
}

} // namespace

int runSend(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    AppState state = headlessState("vornak send", !parseSendArguments(arguments).help, err);
    SettingsStore settings;
    SendConsole console{out, err, ::isatty(STDERR_FILENO) == 1, true};
    return runSendCommand(arguments, state, settings, console);
}

int runStation(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    AppState state = headlessState("vornak station", !parseStationArguments(arguments).help, err);
    SettingsStore settings;
    StationConsole console{out, err, ::isatty(STDOUT_FILENO) == 1, true};
    return runStationCommand(arguments, state, settings, console);
}
