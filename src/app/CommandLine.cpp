#include "app/CommandLine.h"

CommandLineSwitches parseCommandLine(const QStringList& arguments)
{
    CommandLineSwitches result;
    QStringList words;
    for (const QString& argument : arguments)
        words += argument.split(' ', Qt::SkipEmptyParts);
    if (words.size() > CommandLineSwitches::kMaxWords) {
        result.problem = QStringLiteral("The command line holds %1 words; only the first %2 are used "
                                        "(\"%3\" and the words after it are ignored).")
                             .arg(words.size()).arg(CommandLineSwitches::kMaxWords)
                             .arg(words[CommandLineSwitches::kMaxWords]);
        words = words.mid(0, CommandLineSwitches::kMaxWords);
    }
    result.words = words;
    return result;
}

QString programVersion()
{
    return QStringLiteral(VORNAK_VERSION);
}

namespace {

QString usageText()
{
    return QStringLiteral(
        "Usage: vornak [/steam] [/Color1 | /Color2 | /Color3 | /Color4]\n"
        "       vornak send FILE --to NUMBER [--port N] [--answerback] [--timeout S]\n"
        "       vornak station [--port N] [--klkl] [--archive DIR] [--quiet-seconds S]\n"
        "       vornak --help | --version\n"
        "\n"
        "A telex terminal for the Quillnet telex network: the computer becomes the\n"
        "teleprinter at a Quillnet interface box wired to a serial port.\n"
        "\n"
        "Start-up switches (written exactly so; several in the order given):\n"
        "  /steam      the steampunk skin\n"
        "  /Color1     green text on black\n"
        "  /Color2     cyan text on white\n"
        "  /Color3     red text on black\n"
        "  /Color4     white text on blue\n"
        "\n"
        "  vornak send FILE --to NUMBER   sends a text file without a window or a\n"
        "              display: dials, waits for the answerback, sends, closes the\n"
        "              call (FILE - is standard input); --port N chooses the port\n"
        "              (1 to 32), --answerback sends the own answerback after the\n"
        "              message, --timeout S the seconds to wait (default 30).\n"
        "              vornak send --help lists the exit codes.\n"
        "  vornak station  keeps the line open without a window or a display:\n"
        "              archives every message that arrives, answers klkl with\n"
        "              klkl.txt (--klkl), reopens the port when the adapter comes\n"
        "              back; one line per event on standard output.\n"
        "              vornak station --help lists its options and exit codes.\n"
        "  --help      this text\n"
        "  --version   the version\n"
        "\n"
        "Environment:\n"
        "  VORNAK_DIR        the program folder (configuration, phonebook, prepared\n"
        "                    texts) instead of $XDG_DATA_HOME/vornak\n"
        "  XDG_DATA_HOME     holds the per-user program folder vornak/, filled with\n"
        "                    the default files on the first start (~/.local/share)\n"
        "  XDG_CONFIG_HOME   holds the settings, vornak/Quillnet USB Terminal.ini\n"
        "                    (~/.config); section [Ports], ComN=DEVICE maps a port\n"
        "  DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM, QT_SCALE_FACTOR\n"
        "                    the display the window opens on, and its scale\n"
        "  VORNAK_DEMO       read by scripts/run in the source tree, not by this\n"
        "                    program: 1 always starts the demo (a simulated box and\n"
        "                    directory server), 0 never\n");
}

} // namespace

QString commandLineAnswer(const QStringList& arguments)
{
    if (arguments.contains("--help") || arguments.contains("-h"))
        return usageText();
    if (arguments.contains("--version"))
        return QStringLiteral("vornak %1\n").arg(programVersion());
    return {};
}
