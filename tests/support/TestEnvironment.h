#pragma once

#include "core/AppState.h"

#include <QString>
#include <QTemporaryDir>

// A fresh program folder and settings store for one test program. Create it
// before the QApplication: it points VORNAK_DIR and XDG_CONFIG_HOME into a
// new temporary folder, and the folder gets the shipped default files.
class TestEnvironment {
public:
    TestEnvironment();

    QString folder() const { return m_dir.path() + "/program"; }
    QString configHome() const { return m_dir.path() + "/config"; }
    QString file(const QString& name) const;

    // A state whose folder is the program folder.
    AppState makeState() const;

    void writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    // Empties the program folder and the settings store between test cases.
    void reset() const;

private:
    QTemporaryDir m_dir;
};
