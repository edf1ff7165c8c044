#pragma once

#include <QString>
#include <QStringList>

// The command line split at blanks into at most 11 words. More words are
// cut off, and `problem` says so in the program's own words.
struct CommandLineSwitches {
    static constexpr int kMaxWords = 11;
    QStringList words;
    QString problem;
};

// `arguments` are the program's arguments without the program name.
CommandLineSwitches parseCommandLine(const QStringList& arguments);

// The project's version ("10.3.13").
QString programVersion();

// What `vornak --help` (or -h) and `vornak --version` print, when one of them
// stands anywhere among `arguments`; empty when the window is wanted. Both
// are answered before a display is needed.
QString commandLineAnswer(const QStringList& arguments);
