// vornak-dirserver: a directory server for trying out and testing the
// terminal's phonebook update. It serves a generated directory or one read
// from a CSV file, and can misbehave on purpose.
#include "DemoPhonebook.h"
#include "DirServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace dirserver;

namespace {

int fail(const QString& text)
{
    QTextStream(stderr) << "vornak-dirserver: " << text << "\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // The plain event dispatcher: one poll per entry and acknowledgement,
    // without the GLib main loop's extra wake-ups.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vornak-dirserver");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Serves a subscriber directory over the directory protocol.\n"
        "Fault modes (--fault): none, end-only, short, short-stall, wrong-type, stall, reset.");
    parser.addHelpOption();
    const QCommandLineOption address("address", "Address to listen on (default 127.0.0.1).", "address",
                                     "127.0.0.1");
    const QCommandLineOption port("port", "Port to listen on; 0 picks a free one (default 11811).", "port",
                                  "11811");
    const QCommandLineOption generate("generate", "Serve a made-up directory of N subscribers (default 500).",
                                      "N");
    const QCommandLineOption csv("csv", "Serve the subscribers of a CSV file (number,name or phonebook.csv).",
                                 "file");
    const QCommandLineOption fault("fault", "Misbehave: end-only, short, short-stall, wrong-type, stall, reset.",
                                   "mode", "none");
    const QCommandLineOption after("after", "Entries sent normally before the fault (default 0).", "K", "0");
    const QCommandLineOption shortBytes("short-bytes", "Bytes of the cut entry for short faults (default 60).",
                                        "bytes", "60");
    const QCommandLineOption wrongType("type", "Type byte of the wrong-type packet, hexadecimal (default 0C).",
                                       "hex", "0C");
    const QCommandLineOption splitGap("split-gap", "Send every entry in three pieces, this many ms apart.", "ms",
                                      "0");
    const QCommandLineOption pace("pace", "Wait this many ms before each entry.", "ms", "0");
    const QCommandLineOption demoFolder("demo-phonebook",
                                        "Before serving, give FOLDER a phonebook of this directory with some "
                                        "favourites marked, unless it has one already.",
                                        "folder");
    const QCommandLineOption favourites("favourites", "Favourites marked by --demo-phonebook (default 8).", "N",
                                        "8");
    parser.addOptions({address, port, generate, csv, fault, after, shortBytes, wrongType, splitGap, pace,
                       demoFolder, favourites});
    parser.process(app);

    QVector<Subscriber> directory;
    if (parser.isSet(csv)) {
        QString error;
        if (!readDirectoryCsv(parser.value(csv), &directory, &error))
            return fail(error);
    } else {
        bool ok = false;
        const int count = parser.isSet(generate) ? parser.value(generate).toInt(&ok) : 500;
        if (parser.isSet(generate) && (!ok || count < 0))
            return fail("--generate needs a whole number of 0 or more");
        directory = generateDirectory(count);
    }

    FaultPlan faults;
    if (!FaultPlan::parseMode(parser.value(fault), &faults.mode))
        return fail("unknown fault mode \"" + parser.value(fault) + "\"");
    bool ok = true;
    auto number = [&](const QCommandLineOption& option, int base = 10) {
        bool valid = false;
        const int value = parser.value(option).toInt(&valid, base);
        ok = ok && valid && value >= 0;
        return value;
    };
    faults.after = number(after);
    faults.shortBytes = std::clamp(number(shortBytes), 0, 102);
    faults.wrongType = quint8(number(wrongType, 16));
    faults.splitGapMs = number(splitGap);
    faults.paceMs = number(pace);
    const int portNumber = number(port);
    if (!ok || portNumber > 65535)
        return fail("the numbers given to the options must be whole numbers of 0 or more");

    if (parser.isSet(demoFolder)) {
        QString error;
        const QString phonebook = parser.value(demoFolder) + "/phonebook.txt";
        if (!writeDemoPhonebook(phonebook, directory, parser.value(favourites).toInt(), &error))
            return fail("cannot write " + phonebook + ": " + error);
    }

    const QHostAddress listenAddress(parser.value(address));
    if (listenAddress.isNull())
        return fail("\"" + parser.value(address) + "\" is not an address");

    DirServer server(directory, faults);
    QString error;
    if (!server.listen(listenAddress, quint16(portNumber), &error))
        return fail(QStringLiteral("cannot listen on %1:%2: %3").arg(listenAddress.toString()).arg(portNumber).arg(error));

    // The first line tells a test or script which port was taken.
    std::printf("vornak-dirserver: serving %d entries on %s:%u\n", int(directory.size()),
                qPrintable(listenAddress.toString()), unsigned(server.port()));
    std::fflush(stdout);
    QObject::connect(&server, &DirServer::sessionEnded, [](int acknowledged) {
        std::printf("vornak-dirserver: session ended after %d acknowledged entries\n", acknowledged);
        std::fflush(stdout);
    });
    return app.exec();
}
