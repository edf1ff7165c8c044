#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "archive/ArchiveStore.h"
#include "archive/ArchiveWindow.h"

class ArchiveRecorder;
class CommandHost;
class CommandLabel;
class DesktopNotice;
class QPrinter;
struct TelexSheet;

// The message archive in the window, and telexes on paper. Commands of the
// group "Archive":
// - "Archive" switches the keeping of received messages on and off (green
//   while on; off until the user switches it on, kept in the settings);
// - "Messages" opens the archive window;
// - "Print" and "PDF" put the terminal window's text on paper.
// The archive window prints, exports, saves and sends again the chosen
// message. When the desktop notice is wanted, a message that starts while
// the window is not active shows one with its first line; clicking it
// raises the window.
class ArchivePart : public QObject {
    Q_OBJECT
public:
    // Sends a text file through the file transmission (SendTextFile).
    using FileSender = std::function<void(const QString& path)>;
    // Lets the user set up the printer; true to print. Tests replace it.
    using PrinterChooser = std::function<bool(QPrinter& printer)>;

    ArchivePart(CommandHost& host, FileSender sendFile, QObject* parent = nullptr);
    ~ArchivePart() override;

    void lblArchive_Click();
    void lblArchiveWindow_Click();
    void lblPrintText_Click();
    void lblTextPdf_Click();

    // Received text as the window shows it (ReceivePath::lineTextShown).
    void recordShown(const QString& text, bool replacedLast);

    bool isOn() const { return m_recorder != nullptr; }
    QString folder() const;
    // The recorder while the archive is on.
    ArchiveRecorder* recorder() const { return m_recorder; }
    // The archive window once it was opened.
    ArchiveWindow* archiveWindow() const { return m_window; }
    DesktopNotice& notice() { return *m_notice; }
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }

    // The sheets that go to the printer or into a PDF.
    TelexSheet terminalSheet() const;
    TelexSheet messageSheet(const ArchivedMessage& message, const QString& text) const;

private:
    void switchOn();
    void switchOff();
    void showState(bool on);
    void onMessageStarted();
    void onFirstLine(const QString& line);
    void raiseWindow();
    // `name`: the document's name, which the print dialog offers as a file name.
    void print(const TelexSheet& sheet, const QString& name);
    void exportPdf(const TelexSheet& sheet, const QString& proposedName);
    void sendChosenAgain();
    void saveChosenAsText();
    qint64 quietMs() const;

    CommandHost& m_host;
    FileSender m_sendFile;
    PrinterChooser m_choosePrinter;
    ArchiveRecorder* m_recorder = nullptr;
    QPointer<ArchiveWindow> m_window;
    DesktopNotice* m_notice;
    CommandLabel* lblArchive;
    bool m_noticeDue = false;
};
