#pragma once

#include "core/DataFile.h"
#include "core/ProgramFolder.h"
#include "editor/HelpDownload.h"

#include <QDialog>
#include <optional>

class CommandLabel;
class QLabel;
class QTextEdit;
class SettingsStore;

// The help window: "What's new in this Version". Each time it opens it
// fetches the help document from the web folder of the settings store into
// its local copy "\wnew.rtf" and shows the local copy as formatted text.
// Without a download the last local copy is shown; without either the
// window says so. A document longer than the rich-text reader's limits is
// shown up to them, with a closing line that says so and names the file.
class frmHelp : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeoutMs = 15000;

    frmHelp(const ProgramFolder& folder, SettingsStore& settings, QWidget* parent = nullptr);

    // The download, then the local copy in the window.
    void Form_Load();
    // Shows the window modally (the local copy at once), runs Form_Load and
    // returns when the window has been closed.
    void runModal();

    void setDownloadTimeoutMs(int ms) { m_timeoutMs = ms; }
    const HelpDownload::Result& lastDownload() const { return m_lastDownload; }
    QString localPath() const { return m_folder.file("\\wnew.rtf"); }

    QLabel* lblHelpContext;
    QTextEdit* RichTextBox1;
    CommandLabel* lblExit;

protected:
    // Closing the window also stops a download that is still running.
    void done(int result) override;

private:
    // The local copy's bytes, a byte more than a download may bring (so that
    // a longer file shows as cut); nothing when it cannot be read.
    FileBytes readLocalCopy() const;
    // Shows the local copy; false when there is none to show.
    bool showLocalCopy();
    void showMissingNote();

    ProgramFolder m_folder;
    SettingsStore& m_settings;
    HelpDownload m_download;
    HelpDownload::Result m_lastDownload;
    int m_timeoutMs = kDefaultTimeoutMs;
};
