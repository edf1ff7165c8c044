#include "app/Application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    nameApplication();
    return runTerminal(app.arguments().mid(1));
}
