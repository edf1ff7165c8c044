#include "station/StationArguments.h"

namespace {
constexpr int kHighestPort = 32;
constexpr double kLongestQuiet = 24 * 3600;
} // namespace

StationArguments parseStationArguments(const QStringList& arguments)
{
    StationArguments parsed;
    StationRequest request;
    for (int i = 0; i < arguments.size(); ++i) {
        QString word = arguments[i];
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            parsed.help = true;
            return parsed;
        }
        // "--option=value" and "--option value" both work.
        QString value;
        bool valueInline = false;
        if (const qsizetype equals = word.indexOf('='); word.startsWith(QLatin1String("--")) && equals > 0) {
            value = word.mid(equals + 1);
            word = word.left(equals);
            valueInline = true;
        }
        if (word == QLatin1String("--klkl")) {
            if (valueInline) {
                parsed.problem = QStringLiteral("--klkl takes no value");
                return parsed;
            }
            request.klkl = true;
            continue;
        }
        const bool takesValue = word == QLatin1String("--port") || word == QLatin1String("--archive")
                                || word == QLatin1String("--quiet-seconds");
        if (!takesValue) {
            parsed.problem = word.startsWith('-')
                                 ? QStringLiteral("unknown option %1 (see vornak station --help)").arg(word)
                                 : QStringLiteral("unexpected word \"%1\" (see vornak station --help)").arg(word);
            return parsed;
        }
        if (!valueInline) {
            if (i + 1 >= arguments.size()) {
                parsed.problem = QStringLiteral("%1 needs a value").arg(word);
                return parsed;
            }
            value = arguments[++i];
        }
        if (word == QLatin1String("--port")) {
            bool ok = false;
            const int port = value.toInt(&ok);
            if (!ok || port < 1 || port > kHighestPort) {
                parsed.problem = QStringLiteral("the port must be a number from 1 to %1, not \"%2\"")
                                     .arg(kHighestPort).arg(value);
                return parsed;
            }
            request.port = port;
        } else if (word == QLatin1String("--archive")) {
            if (value.isEmpty()) {
                parsed.problem = QStringLiteral("--archive needs a folder");
                return parsed;
            }
            request.archiveFolder = value;
        } else {
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            if (!ok || !(seconds >= 0.1) || seconds > kLongestQuiet) {
                parsed.problem = QStringLiteral("the quiet time must be a number of seconds from 0.1 to 86400, not \"%1\"")
                                     .arg(value);
                return parsed;
            }
            request.quietSeconds = seconds;
        }
    }
    parsed.request = request;
    return parsed;
}

QString stationHelpText()
{
    return QStringLiteral(
        "Usage: vornak station [--port N] [--klkl] [--archive DIR] [--quiet-seconds S]\n"
        "\n"
        "Keeps the telex line open without a window or a display: opens the port,\n"
        "keeps every message that arrives in the message archive, and opens the\n"
        "port again when the adapter comes back after it was pulled. Runs until\n"
        "it is stopped (SIGTERM, Ctrl-C), then finishes the message in progress\n"
        "and closes the port.\n"
        "\n"
        "  --port N           the port number 1 to 32 (default: the one stored by\n"
        "                     the port settings window)\n"
        "  --klkl             answer \"klkl\" from the far side with klkl.txt, as the\n"
        "                     window's automatic answer does\n"
        "  --archive DIR      the archive folder (default: archive/ in the program\n"
        "                     folder, where the window's archive is)\n"
        "  --quiet-seconds S  a message ends after S seconds without text\n"
        "                     (default 30)\n"
        "  -h, --help         this text\n"
        "\n"
        "Each event is one line on standard output (started, port opened, lost\n"
        "and reopened, message started and ended with its file, KLKL answered,\n"
        "stopped), behind a priority such as <6> that the system journal reads.\n"
        "\n"
        "Exit codes:\n"
        "  0  stopped by SIGTERM or SIGINT; the message in progress was finished\n"
        "  2  the command line is wrong\n"
        "  3  the port at start: not there, held by another program (named), or\n"
        "     refusing its settings\n"
        "  4  the archive folder cannot be made or written\n"
        "  6  --klkl, and klkl.txt is missing or unreadable\n"
        "\n"
        "The program folder, the configuration and the port settings are those of\n"
        "the terminal window (VORNAK_DIR and XDG_CONFIG_HOME move them).\n");
}
