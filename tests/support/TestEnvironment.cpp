#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

TestEnvironment::TestEnvironment()
{
    QDir().mkpath(folder());
    QDir().mkpath(configHome());
    qputenv("VORNAK_DIR", folder().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ProgramFolder::fillWithDefaults(folder());
}

QString TestEnvironment::file(const QString& name) const
{
    return ProgramFolder(folder()).file(name);
}

AppState TestEnvironment::makeState() const
{
    AppState state;
    state.folder = ProgramFolder(folder());
    return state;
}

void TestEnvironment::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile out(file(name));
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(bytes);
}

QByteArray TestEnvironment::readFile(const QString& name) const
{
    QFile in(file(name));
    in.open(QIODevice::ReadOnly);
    return in.readAll();
}

void TestEnvironment::reset() const
{
    QDir(folder()).removeRecursively();
    QDir(configHome()).removeRecursively();
    QDir().mkpath(folder());
    QDir().mkpath(configHome());
    ProgramFolder::fillWithDefaults(folder());
}
