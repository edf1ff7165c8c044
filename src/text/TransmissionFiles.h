#pragma once

#include <QString>
#include <functional>

// The files of a transmission: the text file the user sends (read) and the
// scratch file the wrapped text passes through (written). Both work in
// pieces and ask keepGoing in between, so the window stays alive on very
// large files and Cancel acts; when keepGoing answers false the work stops.

// A file the user sends: a regular file of text, UTF-8 or Latin-1 (read as
// UTF-8 when its bytes are valid UTF-8 and hold a multi-byte sequence).
// Folders, devices, pipes and files holding binary data are refused in plain
// words.
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

// Writes a text under a temporary name and renames it over the old file:
// as Latin-1 when every character fits, else as UTF-8. False with the system's reason in
// *error when it fails, or false with an empty *error when keepGoing
// answered false.
bool writeScratchFile(const QString& path, const QString& text, const std::function<bool()>& keepGoing,
                      QString* error);

// The message of a file step that failed: the path, then the reason.
QString fileProblemText(const QString& path, const QString& reason);
