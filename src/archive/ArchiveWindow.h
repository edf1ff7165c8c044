#pragma once

#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>

#include "archive/ArchiveStore.h"

class ArchiveListModel;
class ArchiveTextLoader;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

// A text view on a picture of paper, for the archived message.
class PaperTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PaperTextView(QWidget* parent = nullptr);
    // The paper behind the text; a null picture: the view's own background.
    void setPaper(const QPixmap& paper);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPaper();
    QPixmap m_paper;
};

// The archive window frmArchive: the messages newest first (time, length,
// first line), a search field that filters them as the user types, the
// chosen message in the terminal's font on paper, and the commands for it:
// send it again, save it as a text file, print it, export it as PDF. Below
// them the archive's settings: the quiet time that ends a message, the
// paper picture on print and PDF, and the desktop notice.
//
// It opens with the archive's index (the files of a large archive are not
// read first); the texts are read in the background, and the search looks
// through them as they arrive.
class ArchiveWindow : public QWidget {
    Q_OBJECT
public:
    ArchiveWindow(ArchiveStore store, QWidget* owner);
    ~ArchiveWindow() override;

    // Lists the archive afresh (the index, checked against the files) and
    // starts reading the texts.
    void reload();
    // A message that ended while the window is open.
    void addMessage(const ArchivedMessage& message);

    // The message chosen in the list, if any.
    std::optional<ArchivedMessage> chosenMessage() const;
    // Its text as the file holds it (empty when none is chosen).
    QString chosenText() const { return m_chosenText; }
    // Chooses the row (of the rows shown); -1: none.
    void chooseRow(int row);

    const ArchiveStore& store() const { return m_store; }
    ArchiveListModel& model() { return *m_model; }
    bool textsLoading() const;

    QLineEdit* txtArchiveSearch;
    QLabel* lblArchiveCount;
    QTableView* lvwArchive;
    PaperTextView* txtArchiveMessage;
    QPushButton* cmdSendAgain;
    QPushButton* cmdSaveText;
    QPushButton* cmdPrintMessage;
    QPushButton* cmdMessagePdf;
    QSpinBox* spnQuietSeconds;
    QCheckBox* chkPaperPicture;
    QCheckBox* chkNotice;
    QPushButton* cmdArchiveClose;
    QLabel* lblArchiveStatus;

signals:
    // The commands for the chosen message.
    void sendAgainRequested();
    void saveTextRequested();
    void printRequested();
    void pdfRequested();
    // All texts are read (the search covers every message).
    void textsLoaded();

private:
    void showChosen();
    void showCount();

    ArchiveStore m_store;
    ArchiveListModel* m_model;
    ArchiveTextLoader* m_loader;
    int m_prependedSinceLoad = 0;
    QString m_chosenText;
};
