#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line of `vornak station [--port N] [--klkl] [--archive DIR]
// [--quiet-seconds S]`, and the exit codes it ends with.

enum StationExit {
    kStationStopped = 0, // stopped by SIGTERM or SIGINT, the message in progress finished
    kStationUsage = 2,   // the command line is wrong
    kStationPort = 3,    // at start: no port, port held by another program, settings refused
    kStationArchive = 4, // at start: the archive folder cannot be made or written
    kStationFile = 6,    // --klkl, and the KLKL answer file is missing or unreadable
};

struct StationRequest {
    std::optional<int> port;     // overrides the stored port number
    bool klkl = false;           // answer "klkl" with klkl.txt
    QString archiveFolder;       // empty: archive/ in the program folder
    double quietSeconds = 30;    // a message ends after this much quiet
};

struct StationArguments {
    std::optional<StationRequest> request;
    bool help = false;
    // Why the command line is wrong, in one line; empty when it is right.
    QString problem;
};

// `arguments`: what follows "station" on the command line.
StationArguments parseStationArguments(const QStringList& arguments);

// The text `vornak station --help` prints.
QString stationHelpText();
