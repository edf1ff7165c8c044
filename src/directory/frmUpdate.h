#pragma once

#include "directory/DirectoryClient.h"
#include "directory/MergeTables.h"

#include <QColor>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QTimer>

struct AppState;
class CommandLabel;
class Dialogs;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// How the update window reaches the directory server and paces its writer.
struct DirectoryOptions {
    quint16 port = DirectoryClient::kPort;
    DirectoryClient::Limits limits;
    // The pause after sorting, before the files are written, so the user
    // sees the sorted list (tests and the benchmark set it to 0).
    int sortPauseMs = 2000;
};

// The phonebook update window: downloads the directory, carries the old
// favourite and broadcast marks over, and writes phonebook.txt,
// phonebook.csv and phonebook-backup.txt from its list. The files are
// replaced only after a complete download and a complete write.
class frmUpdate : public QDialog {
    Q_OBJECT
public:
    // The columns of lvwStat.
    enum Column { ColId, ColNumber, ColName, ColCheck, ColRsGr1, ColRsGr2, ColRsGr3, ColRsGr4, ColSubsNr,
                  ColChangeDate, ColumnCount };

    frmUpdate(AppState& state, Dialogs& dialogs, const DirectoryOptions& options = {}, QWidget* parent = nullptr);
    ~frmUpdate() override;

    // Commands.
    void lblRetrieve_Click();
    void lblExit_Click();
    void cmdLoad_Click();
    void cmdSort_Click();
    void cmdTesting_Click();
    void cmdNewPhonebook_Click();
    void lvwStat_ColumnClick(int column);

    // Entries received by the last download.
    int RecordCount() const { return m_client.RecordCount(); }
    const MergeTables& mergeTables() const { return m_tables; }
    bool isDownloading() const { return m_phase == Phase::Downloading; }
    QColor statusColor() const;

    QTreeWidget* lvwStat;
    QListWidget* lstFav;
    QListWidget* lstRSend;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLabel* lblStatus;
    QLabel* lblCount;
    CommandLabel* lblRetrieve;
    CommandLabel* lblExit;
    QPushButton* cmdLoad;
    QPushButton* cmdSort;
    QPushButton* cmdTesting;
    QPushButton* cmdNewPhonebook;

signals:
    // Each entry as it is received (count = entries so far).
    void entryReceived(int count);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void fitColumns();
    // Idle: every command usable. Downloading, Writing: none. Failed: after a
    // failed download Retrieve and EXIT stay disabled, and so does "save",
    // so the partial list cannot be written over the phonebook.
    enum class Phase { Idle, Downloading, Writing, Failed };

    void buildWindow();
    void setPhase(Phase phase);
    void setStatus(const QString& text, const QColor& color);
    bool loadMarks();
    void addEntry(const DirectoryEntry& entry);
    void flushPendingRows();
    void showLatestEntry();
    void sortByName();
    bool writeDirectory();
    void pause(int ms);
    bool closingRefused();

    AppState& m_state;
    Dialogs& m_dialogs;
    DirectoryOptions m_options;
    DirectoryClient m_client;
    MergeTables m_tables;
    Phase m_phase = Phase::Idle;
    bool m_closing = false;
    QString m_today;
    // Rows received but not yet in the list: they are added in batches so a
    // long download does not lay the list out again for every entry.
    QList<QTreeWidgetItem*> m_pending;
    QList<int> m_designWidths; // the columns are never narrower
    QTimer m_flushTimer;
    // The entry received last, and when the fields last showed one.
    DirectoryEntry m_latest;
    bool m_latestShown = true;
    QElapsedTimer m_display;
};
