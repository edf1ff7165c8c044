#include "app/Config.h"

#include "core/AppState.h"
#include "core/TextFiles.h"
#include "core/VbText.h"

#include "core/Resources.h"

#include <QFile>
#include <algorithm>

namespace {

enum Index { kDialPrefix = 0, kDateFormat = 1, kStationId = 2, kDirectoryServer = 3,
             kCharDelay = 6, kRSendService1 = 7, kRSendService2 = 8 };

const char* const kBuiltInConfig = ":/defaults/QuillnetUsb.cfg";

// Splits the text into value lines and notes the problems of their number.
ConfigFile parseValueLines(const QStringList& lines, const QString& fileName)
{
    ConfigFile config;
    config.values.reserve(ConfigFile::kValueCount);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String("//")))
            continue;
        if (config.values.size() == ConfigFile::kValueCount) {
            config.problems << QStringLiteral("%1, line %2: the file holds more than %3 value lines. "
                                              "This line and every value line after it are ignored.")
                                   .arg(fileName).arg(i + 1).arg(ConfigFile::kValueCount);
            break;
        }
        config.values << line;
        config.valueLines << i + 1;
    }
    if (!config.values.isEmpty() && config.values.size() < ConfigFile::kValueCount) {
        config.problems << QStringLiteral("%1 holds only %2 value lines; %3 are expected. "
                                          "The missing values, from value line %4 on, are taken as empty.")
                               .arg(fileName).arg(config.values.size()).arg(ConfigFile::kValueCount)
                               .arg(config.values.size() + 1);
    }
    while (config.values.size() < ConfigFile::kValueCount) {
        config.values << QString();
        config.valueLines << 0;
    }
    return config;
}

} // namespace

ConfigFile builtInConfig()
{
    ensureDefaultResources();
    QFile file(kBuiltInConfig);
    file.open(QIODevice::ReadOnly);
    ConfigFile config = parseValueLines(splitLines(decodeFileBytes(file.readAll())), "QuillnetUsb.cfg");
    config.problems.clear();
    return config;
}

ConfigFile parseConfigText(const QString& text, const QString& fileName)
{
    const QStringList lines = splitLines(text);
    const bool noValues = std::all_of(lines.cbegin(), lines.cend(),
                                      [](const QString& line) { return line.startsWith("//"); });
    if (noValues) {
        ConfigFile fallback = builtInConfig();
        fallback.problems << QStringLiteral("%1 holds no value lines at all (only comments or nothing). "
                                            "The built-in settings are used instead.")
                                 .arg(fileName);
        return fallback;
    }
    return parseValueLines(lines, fileName);
}

ConfigFile readConfigFile(const QString& path)
{
    QString error;
    const std::optional<QString> text = readTextFile(path, &error);
    if (!text) {
        ConfigFile config = builtInConfig();
        config.problems << QStringLiteral("The configuration file %1 cannot be read (%2). "
                                          "Vornak starts with its built-in settings; "
                                          "create the file with \"Edit Config\" to keep your own.")
                               .arg(path, error);
        return config;
    }
    return parseConfigText(*text, path);
}

void applyConfig(ConfigFile& config, AppState& state, const QString& fileName)
{
    const QStringList& v = config.values;
    state.ConfigLines = v;

    if (const std::optional<qint16> prefix = wholeNumber16(v[kDialPrefix])) {
        state.DialPrefix = *prefix;
    } else {
        state.DialPrefix = 0;
        config.problems << QStringLiteral("%1, line %2: the first value line is the dial prefix and must "
                                          "hold a whole number between -32768 and 32767, but it reads \"%3\". "
                                          "The dial prefix 0 is used.")
                               .arg(fileName).arg(config.valueLines.value(kDialPrefix)).arg(v[kDialPrefix]);
    }
    state.DateFormat = v[kDateFormat];
    state.StationId = v[kStationId];
    state.DirectoryServer = v[kDirectoryServer];
    state.CharDelay = leadingNumber(v[kCharDelay]);
    state.RSendService1 = leadingNumber(v[kRSendService1]);
    state.RSendService2 = leadingNumber(v[kRSendService2]);
}
