// QuillnetUsb.cfg as the program reads it: the file's bytes decoded, the
// value lines taken, the values applied to the program state and the
// directory server's host read as a bare address number.
#include "FuzzSupport.h"

#include "app/Config.h"
#include "core/AppState.h"
#include "core/TextFiles.h"
#include "directory/DirectoryHost.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = decodeFileBytes(fuzzBytes(data, size));
    ConfigFile config = parseConfigText(text, QStringLiteral("QuillnetUsb.cfg"));

    FUZZ_CHECK(config.values.size() == ConfigFile::kValueCount, "always 21 values");
    FUZZ_CHECK(config.valueLines.size() == ConfigFile::kValueCount, "a file line for every value");
    const QStringList lines = splitLines(text);
    const bool onlyComments = std::all_of(lines.cbegin(), lines.cend(),
                                          [](const QString& line) { return line.startsWith(QLatin1String("//")); });
    if (onlyComments) {
        // Nothing to read: the built-in configuration, and a word about it.
        FUZZ_CHECK(config.values == builtInConfig().values, "the built-in values stand in");
        FUZZ_CHECK(config.problems.size() == 1, "the fallback is said once");
        return 0;
    }
    // A value read from the file is that line of the file, unchanged.
    int previous = 0;
    for (int i = 0; i < ConfigFile::kValueCount; ++i) {
        const int line = config.valueLines[i];
        if (line == 0)
            continue;
        FUZZ_CHECK(line > previous && line <= lines.size(), "value lines in file order");
        FUZZ_CHECK(config.values[i] == lines[line - 1], "a value is its line");
        FUZZ_CHECK(!config.values[i].startsWith(QLatin1String("//")), "no comment taken as a value");
        previous = line;
    }

    AppState state;
    applyConfig(config, state, QStringLiteral("QuillnetUsb.cfg"));
    FUZZ_CHECK(state.ConfigLines.size() == ConfigFile::kValueCount, "ConfigLines filled");
    if (const std::optional<QHostAddress> address = addressFromNumber(state.DirectoryServer))
        FUZZ_CHECK(address->protocol() == QAbstractSocket::IPv4Protocol, "a number is an IPv4 address");
    return 0;
}
