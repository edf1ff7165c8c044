#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <algorithm>

TestEnvironment::TestEnvironment()
{
    QDir().mkpath(folder());
    QDir().mkpath(configHome());
    qputenv("VORNAK_DIR", folder().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    // Windows open on a screen of 1920 x 1080 (at QT_SCALE_FACTOR, of as many
    // more pixels): the offscreen screen alone is smaller than the main
    // window's design.
    const int scale = std::max(1, qEnvironmentVariableIntValue("QT_SCALE_FACTOR"));
    const QString screen = m_dir.path() + "/screen.json";
    QFile config(screen);
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": %1,"
                                " \"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                     .arg(1920 * scale)
                     .arg(1080 * scale)
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen).toLocal8Bit());
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
