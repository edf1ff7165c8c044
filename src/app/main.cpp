#include "app/Application.h"
#include "app/CommandLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
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
    // --help and --version need no display either: answered before Qt
    // looks for one.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString answer = commandLineAnswer(arguments);
    if (!answer.isEmpty()) {
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return 0;
    }

    const QtMessageHandler previousHandler = qInstallMessageHandler(endWithoutWindowSystem);
    QApplication app(argc, argv);
    qInstallMessageHandler(previousHandler);
    nameApplication();
    return runTerminal(app.arguments().mid(1));
}
