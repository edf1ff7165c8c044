#include "app/QtDialogs.h"
#include "app/terminal.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("vornak");
    QApplication::setApplicationDisplayName(kAppTitle);

    AppState state;
    state.folder = ProgramFolder::locate(QApplication::applicationDirPath());

    SettingsStore settings;
    QtDialogs dialogs;
    frmTerminal terminal(state, dialogs, settings);
    dialogs.setParentWindow(&terminal);
    QObject::connect(&terminal, &frmTerminal::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);

    terminal.Form_Load(app.arguments().mid(1));
    terminal.show();
    return app.exec();
}
