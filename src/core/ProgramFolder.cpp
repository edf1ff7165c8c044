#include "core/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/Resources.h"

namespace {
const char* const kDefaultsRoot = ":/defaults";
}

ProgramFolder ProgramFolder::locate(const QString& executableDir)
{
    const QString fromEnvironment = qEnvironmentVariable("VORNAK_DIR");
    if (!fromEnvironment.isEmpty())
        return ProgramFolder(QDir(fromEnvironment).absolutePath());

    if (!executableDir.isEmpty() && QFileInfo::exists(executableDir + "/QuillnetUsb.cfg"))
        return ProgramFolder(QDir(executableDir).absolutePath());

    QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (perUser.isEmpty())
        perUser = QDir::homePath() + "/.local/share/vornak";
    QDir().mkpath(perUser);
    fillWithDefaults(perUser);
    return ProgramFolder(perUser);
}

QStringList ProgramFolder::fillWithDefaults(const QString& folder)
{
    ensureDefaultResources();
    QStringList copied;
    QDirIterator it(kDefaultsRoot, QDir::Files);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = folder + "/" + QFileInfo(source).fileName();
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(source, target)) {
            // Resource files are read-only; the user's copies must be editable.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                              | QFile::ReadOther);
            copied << QFileInfo(source).fileName();
        }
    }
    return copied;
}

QString ProgramFolder::file(const QString& name) const
{
    QString bare = name;
    while (bare.startsWith('\\') || bare.startsWith('/'))
        bare.remove(0, 1);
    return m_path + "/" + bare;
}
