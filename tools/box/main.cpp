// vornak-box: a simulated interface box on a pseudo-terminal. It prints the
// path of its terminal end; map a port of Vornak to it and talk to it.
//
//   vornak-box [--path-file FILE] [--log FILE] [--raw FILE]
//              [--answerback TEXT] [--char-delay MS] [--dial-delay MS]
//              [--dial-prefix DIGITS] [--prompt-pause MS]
//              [--deliver FILE] [--deliver-after MS] [--deliver-pace MS]
//              [--deliver-quiet MS]
//
// --log writes a readable line per piece received, --raw every byte
// received exactly as it came.
//
// The broadcast services 11151 and 11162 answer when dialled bare or behind
// the dial prefix (the terminal's first configuration value, 0 as shipped);
// they ask for the receiver list in two pieces, --prompt-pause apart.
//
// Lines typed on its standard input are sent to the terminal as the far
// side's text; "/klkl" sends "klkl", "/prompt" the broadcast prompt,
// "/deliver FILE" the messages of FILE as incoming telexes.
//
// --deliver sends the messages of FILE (split at lines that hold only
// "---") as incoming telexes from a far station, --deliver-after
// milliseconds after the start, one character every --deliver-pace
// milliseconds, with --deliver-quiet milliseconds of silence after each.
#include "BoxSimulator.h"
#include "PtyPair.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vornak-box");

    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated Quillnet interface box on a pseudo-terminal.");
    parser.addHelpOption();
    const QCommandLineOption pathFile("path-file", "Write the terminal end's path to FILE.", "FILE");
    const QCommandLineOption logFile("log", "Log every byte received to FILE.", "FILE");
    const QCommandLineOption rawFile("raw", "Write every byte received, unchanged, to FILE.", "FILE");
    const QCommandLineOption answerback("answerback", "The box's own answerback.", "TEXT", "12345 vornak d");
    const QCommandLineOption charDelay("char-delay", "Milliseconds between printed characters.", "MS", "20");
    const QCommandLineOption dialDelay("dial-delay", "Quiet milliseconds before dialling.", "MS", "1200");
    const QCommandLineOption dialPrefix("dial-prefix", "The terminal's dial prefix.", "DIGITS", "0");
    const QCommandLineOption promptPause("prompt-pause", "Milliseconds between the two pieces of a broadcast prompt.",
                                         "MS", "400");
    const QCommandLineOption deliverFile("deliver", "Send the messages of FILE (split at lines \"---\") as incoming telexes.",
                                         "FILE");
    const QCommandLineOption deliverAfter("deliver-after", "Milliseconds before the first delivered message.", "MS", "1000");
    const QCommandLineOption deliverPace("deliver-pace", "Milliseconds between the characters of a delivered message.",
                                         "MS", "20");
    const QCommandLineOption deliverQuiet("deliver-quiet", "Milliseconds of silence after each delivered message.", "MS",
                                          "2000");
    parser.addOptions({pathFile, logFile, rawFile, answerback, charDelay, dialDelay, dialPrefix, promptPause, deliverFile,
                       deliverAfter, deliverPace, deliverQuiet});
    parser.process(app);

    PtyPair pty;
    QString error;
    if (!pty.open(&error)) {
        std::fprintf(stderr, "vornak-box: no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }

    BoxSimulator::Options options;
    options.ownAnswerback = parser.value(answerback);
    options.charDelayMs = parser.value(charDelay).toInt();
    options.dialDelayMs = parser.value(dialDelay).toInt();
    options.dialPrefix = parser.value(dialPrefix);
    options.promptPauseMs = parser.value(promptPause).toInt();
    BoxSimulator box(options);

    QFile log;
    if (parser.isSet(logFile)) {
        log.setFileName(parser.value(logFile));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            std::fprintf(stderr, "vornak-box: cannot write the log %s\n", qPrintable(log.fileName()));
            return 1;
        }
    }
    QFile raw;
    if (parser.isSet(rawFile)) {
        raw.setFileName(parser.value(rawFile));
        if (!raw.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "vornak-box: cannot write %s\n", qPrintable(raw.fileName()));
            return 1;
        }
    }
    QObject::connect(&box, &BoxSimulator::logLine, [&](const QString& line) {
        if (log.isOpen()) {
            log.write((QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + " " + line + "\n").toUtf8());
            log.flush();
        }
    });
    QObject::connect(&pty, &PtyPair::bytesArrived, &box, [&](const QByteArray& bytes) {
        pty.takeReceived();
        if (raw.isOpen()) {
            raw.write(bytes);
            raw.flush();
        }
        box.receive(bytes);
    });
    QObject::connect(&box, &BoxSimulator::output, &pty, [&](const QByteArray& bytes) { pty.write(bytes); });

    // Incoming messages from a file: read now, a missing file is an error at once.
    const auto deliverFrom = [&](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vornak-box: cannot read %s\n", qPrintable(path));
            return false;
        }
        box.deliver(BoxSimulator::messagesOf(QString::fromUtf8(file.readAll())), parser.value(deliverPace).toInt(),
                    parser.value(deliverQuiet).toInt());
        return true;
    };
    if (parser.isSet(deliverFile)) {
        QFile file(parser.value(deliverFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vornak-box: cannot read %s\n", qPrintable(file.fileName()));
            return 1;
        }
        QTimer::singleShot(parser.value(deliverAfter).toInt(), &box, [&] { deliverFrom(parser.value(deliverFile)); });
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false); // no more input (run in the background)
            return;
        }
        for (QString line : QString::fromLocal8Bit(buffer, n).split('\n', Qt::SkipEmptyParts)) {
            if (line == "/klkl")
                box.farSays("klkl");
            else if (line == "/prompt")
                box.farSays(" +++):");
            else if (line.startsWith("/deliver "))
                deliverFrom(line.mid(9).trimmed());
            else
                box.farSays("\r\n" + line + "\r\n");
        }
    });

    if (parser.isSet(pathFile)) {
        QFile out(parser.value(pathFile) + ".new");
        if (!out.open(QIODevice::WriteOnly) || out.write(pty.slavePath().toLocal8Bit() + "\n") < 0) {
            std::fprintf(stderr, "vornak-box: cannot write %s\n", qPrintable(parser.value(pathFile)));
            return 1;
        }
        out.close();
        ::rename(qPrintable(out.fileName()), qPrintable(parser.value(pathFile)));
    }
    std::printf("%s\n", qPrintable(pty.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
