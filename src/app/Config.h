#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct AppState;

// QuillnetUsb.cfg as read: the 21 value lines (comment lines, whose first two
// characters are "//", skipped; every other line, an empty one included, is a
// value), where each value stood in the file, and the problems met on the way
// in the program's own words.
struct ConfigFile {
    static constexpr int kValueCount = 21;

    QStringList values;         // always kValueCount entries
    QVector<int> valueLines;    // 1-based file line of each value read (0 = not in the file)
    QStringList problems;       // one text per problem, ready for a message box
};

// Parses the text of a configuration file; `fileName` names the file in the
// problem texts.
ConfigFile parseConfigText(const QString& text, const QString& fileName);

// Reads the file. A missing or unreadable file gives the built-in default
// configuration and a problem text that names the file.
ConfigFile readConfigFile(const QString& path);

// The default configuration shipped with the program.
ConfigFile builtInConfig();

// Fills ConfigLines and the values drawn from them. A first value line
// without a whole number adds a problem and gives DialPrefix 0.
void applyConfig(ConfigFile& config, AppState& state, const QString& fileName);
