#pragma once

#include <QString>
#include <functional>

// Reading a file the user sends: a regular file of text, UTF-8 or Latin-1.
// Folders, devices, pipes and files that hold binary data are refused in
// plain words. The file is read in pieces and keepGoing is asked between
// them, so the window stays alive on very large files and Cancel works.
struct SourceText {
    QString text;
    // Why the file could not be used (the system's reason where it has one);
    // empty when it was read.
    QString problem;
    // keepGoing answered false: the reading was given up.
    bool stopped = false;

    bool ok() const { return problem.isEmpty() && !stopped; }
};

SourceText readSourceFile(const QString& path, const std::function<bool()>& keepGoing = {});

// The message of a file step that failed: the path, then the reason.
QString fileProblemText(const QString& path, const QString& reason);
