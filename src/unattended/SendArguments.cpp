#include "unattended/SendArguments.h"

#include <algorithm>

namespace {

constexpr int kHighestPort = 32;

// ASCII digits and nothing else: no blank, sign or line end around them,
// and no digits of other scripts (the box dials 0 to 9 only).
bool isDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A value as it can stand in a one-line message: control characters
// written as escapes.
QString shown(const QString& value)
{
    QString text;
    for (const QChar c : value) {
        if (c == u'\n')
            text += QLatin1String("\\n");
        else if (c == u'\r')
            text += QLatin1String("\\r");
        else if (c == u'\t')
            text += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
                 || c.category() == QChar::Separator_Paragraph)
            text += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        else
            text += c;
    }
    return text;
}

} // namespace

SendArguments parseSendArguments(const QStringList& arguments)
{
    SendArguments parsed;
    SendRequest request;
    QStringList files;
    bool numberGiven = false;
    bool optionsEnd = false;

    for (int i = 0; i < arguments.size(); ++i) {
        QString word = arguments[i];
        if (optionsEnd || word == QLatin1String("-") || !word.startsWith('-')) {
            files << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            parsed.help = true;
            return parsed;
        }
        // "--option=value" and "--option value" both work.
        QString value;
        bool valueInline = false;
        if (const qsizetype equals = word.indexOf('='); equals > 0) {
            value = word.mid(equals + 1);
            word = word.left(equals);
            valueInline = true;
        }
        if (word == QLatin1String("--answerback")) {
            if (valueInline) {
                parsed.problem = QStringLiteral("--answerback takes no value");
                return parsed;
            }
            request.answerback = true;
            continue;
        }
        const bool takesValue = word == QLatin1String("--to") || word == QLatin1String("--port")
                                || word == QLatin1String("--timeout");
        if (!takesValue) {
            parsed.problem = QStringLiteral("unknown option %1 (see vornak send --help)").arg(shown(word));
            return parsed;
        }
        if (!valueInline) {
            if (i + 1 >= arguments.size()) {
                parsed.problem = QStringLiteral("%1 needs a value").arg(word);
                return parsed;
            }
            value = arguments[++i];
        }
        if (word == QLatin1String("--to")) {
            if (!isDigits(value)) {
                parsed.problem = QStringLiteral("the number to dial must be digits only, not \"%1\"").arg(shown(value));
                return parsed;
            }
            request.number = value;
            numberGiven = true;
        } else if (word == QLatin1String("--port")) {
            bool ok = false;
            const int port = value.toInt(&ok);
            if (!ok || port < 1 || port > kHighestPort) {
                parsed.problem = QStringLiteral("the port must be a number from 1 to %1, not \"%2\"")
                                     .arg(kHighestPort).arg(shown(value));
                return parsed;
            }
            request.port = port;
        } else {
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            if (!ok || !(seconds > 0) || seconds > 24 * 3600) {
                parsed.problem = QStringLiteral("the time-out must be a number of seconds above 0, not \"%1\"")
                                     .arg(shown(value));
                return parsed;
            }
            request.timeoutSeconds = seconds;
        }
    }

    if (files.isEmpty()) {
        parsed.problem = QStringLiteral("no message file given (a path, or - for standard input)");
        return parsed;
    }
    if (files.size() > 1) {
        parsed.problem =
            QStringLiteral("one message file only, not %1 (%2)").arg(files.size()).arg(shown(files.join(", ")));
        return parsed;
    }
    if (!numberGiven) {
        parsed.problem = QStringLiteral("no number to dial: give --to NUMBER");
        return parsed;
    }
    request.file = files.front();
    parsed.request = request;
    return parsed;
}

QString sendHelpText()
{
    return QStringLiteral(
        "Usage: vornak send FILE --to NUMBER [--port N] [--answerback] [--timeout S]\n"
        "\n"
        "Sends a text file over the telex line without opening a window, the way\n"
        "an operator does it: opens the port, dials NUMBER, waits for the far\n"
        "station's answerback, sends the file spelled and wrapped as \"Send Text\n"
        "File\" does (paced by the configured character pause), and closes the\n"
        "call. Works without a display, so it can run from cron.\n"
        "\n"
        "  FILE            the message, a text file (UTF-8 or Latin-1); - reads\n"
        "                  it from standard input\n"
        "  --to NUMBER     the number to dial, digits only (numbers above 85 go\n"
        "                  out behind the dial prefix of QuillnetUsb.cfg)\n"
        "  --port N        the port number 1 to 32 (default: the one stored by\n"
        "                  the port settings window)\n"
        "  --answerback    send the station's own answerback after the message\n"
        "  --timeout S     seconds to wait for the far answerback, and for a\n"
        "                  stalled line to take characters again (default 30)\n"
        "  -h, --help      this text\n"
        "\n"
        "Progress (characters sent / total) goes to standard error when it is a\n"
        "terminal. A failure prints one line on standard error; nothing is\n"
        "printed when the message went out and standard error is no terminal.\n"
        "The traffic journal records the call when it is switched on.\n"
        "\n"
        "Exit codes:\n"
        "  0  sent: the whole message went out and the call was closed\n"
        "  2  the command line is wrong\n"
        "  3  the port: not there, busy (the terminal window has it?) or refusing\n"
        "     its settings\n"
        "  4  no answer: no answerback within the time-out, or the box reported\n"
        "     that the call failed; the call is closed again\n"
        "  5  the line was lost (adapter pulled, box switched off) or stopped\n"
        "     taking characters; the message did not go out whole\n"
        "  6  the message file is missing, unreadable, not text, or empty\n"
        "  7  interrupted (Ctrl-C, or the system ended the program); after the\n"
        "     dial the call is closed first\n"
        "\n"
        "Example, a weather bulletin every morning at 6:30 (crontab -e):\n"
        "  30 6 * * * /usr/local/bin/vornak send /srv/telex/weather.txt --to 12345\n"
        "\n"
        "The program folder, the configuration and the port settings are those of\n"
        "the terminal window (VORNAK_DIR and XDG_CONFIG_HOME move them).\n");
}
