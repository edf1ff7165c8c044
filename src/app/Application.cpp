#include "app/Application.h"

#include "app/QtDialogs.h"
#include "app/terminal.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"

#include <QApplication>

void nameApplication()
{
    QCoreApplication::setApplicationName("vornak");
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
