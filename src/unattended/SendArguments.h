#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line of `vornak send FILE --to NUMBER [--port N]
// [--answerback] [--timeout S]`, and the exit codes it ends with.

// What `vornak send` ends with; the help text lists them.
enum SendExit {
    kSendDone = 0,      // the message went out whole and the call was closed
    kSendUsage = 2,     // the command line is wrong
    kSendPort = 3,      // no port, port busy, settings refused
    kSendNoAnswer = 4,  // no answerback from the far side (or the call failed)
    kSendLineLost = 5,  // the line was lost or stopped taking characters
    kSendFile = 6,      // the message file is missing, unreadable, binary or empty
    kSendInterrupted = 7, // SIGINT or SIGTERM
};

struct SendRequest {
    QString file;              // "-": standard input
    QString number;            // digits only
    std::optional<int> port;   // overrides the stored port number
    bool answerback = false;   // send the station's own answerback after the message
    double timeoutSeconds = 30;
};

struct SendArguments {
    std::optional<SendRequest> request;
    bool help = false;
    // Why the command line is wrong, in one line; empty when it is right.
    QString problem;
};

// `arguments`: what follows "send" on the command line.
SendArguments parseSendArguments(const QStringList& arguments);

// The text `vornak send --help` prints.
QString sendHelpText();
