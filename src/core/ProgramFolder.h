#pragma once

#include <QString>

// The one folder that holds the configuration, the phonebook, the lists and
// the prepared texts. File names are written the way the program always names
// them, with a leading separator ("\phonebook.txt" or "/soundstart.wav").
class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(QString path) : m_path(std::move(path)) {}

    // Finds the folder: VORNAK_DIR, else the executable's folder when it holds
    // QuillnetUsb.cfg, else the per-user data folder (filled from the shipped
    // defaults on first use, never overwriting the user's own files).
    static ProgramFolder locate(const QString& executableDir);

    // Copies every shipped default file that the folder does not have yet.
    // Returns the names of the files copied.
    static QStringList fillWithDefaults(const QString& folder);

    const QString& path() const { return m_path; }

    // Joins a name such as "\phonebook.txt" to the folder.
    QString file(const QString& name) const;

private:
    QString m_path;
};
