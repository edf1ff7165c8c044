#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Replaces several files together or not at all. Each new content is first
// written in full (and synced) under a temporary name in the target's own
// folder; commit() then renames them over the old files. When any step
// fails, the files already replaced get their old contents back, so every
// target is either all new or exactly as before.
class AtomicFileSet {
public:
    AtomicFileSet() = default;
    AtomicFileSet(const AtomicFileSet&) = delete;
    AtomicFileSet& operator=(const AtomicFileSet&) = delete;
    // Temporary files that were never committed are removed.
    ~AtomicFileSet();

    // Writes the bytes under a temporary name beside `path`. On failure
    // returns false with the reason in *error; nothing is replaced then.
    bool stage(const QString& path, const QByteArray& bytes, QString* error);

    // Renames every staged file over its target, in the order staged.
    bool commit(QString* error);

private:
    struct Staged {
        QString target;
        QString temporary;
        QString kept; // hard link to the old target while committing
        bool replaced = false;
    };
    void rollBack();
    void removeTemporaries();

    QVector<Staged> m_files;
};
