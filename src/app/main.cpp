#include "app/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

int main(int argc, char* argv[])
{
    // "vornak send ..." sends a file without a window: no display needed.
    if (argc > 1 && std::strcmp(argv[1], "send") == 0) {
        QCoreApplication app(argc, argv);
        nameApplication();
        return runSend(app.arguments().mid(2));
    }
    // "vornak station ..." keeps the line open without a window: no display needed.
    if (argc > 1 && std::strcmp(argv[1], "station") == 0) {
        QCoreApplication app(argc, argv);
        nameApplication();
        return runStation(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    nameApplication();
    return runTerminal(app.arguments().mid(1));
}
