#pragma once

#include "core/Operations.h"
#include "directory/PhonebookRecord.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

struct AppState;
class CommandLabel;
class Dialogs;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;
class HeaderListModel;

// The broadcast header window: builds the receiver table from the broadcast
// marks of phonebook.txt, previews it with its head and end lines, and
// writes the table to RSHeader.txt, from where it can be sent like any text
// file. Exit opens the receiver file RSend.txt in the message editor.
class frmHeader : public QDialog {
    Q_OBJECT
public:
    // The edit mode in which the editor opens the receiver file.
    static constexpr int kReceiverFileEditMode = 0;

    // Builds the header at once (as "Elaborate" does).
    frmHeader(AppState& state, Dialogs& dialogs, EditorOpener openEditor, QWidget* parent = nullptr);
    ~frmHeader() override;

    // "Elaborate": reads the marks, fills the list and the preview, writes
    // RSHeader.txt. False when a file could not be read or written (the user
    // has been told; the preview still shows what was built).
    bool cmdHeader_Click();
    // Opens RSend.txt in the editor and closes when the editor returns.
    void lblExit_Click();

    // The table lines of the last build.
    const QStringList& tableLines() const { return m_tableLines; }

    QTreeView* lvwHeader;
    QListWidget* lstRSend;
    QPushButton* cmdHeader;
    CommandLabel* lblExit;

private:
    void buildWindow();
    void fitColumns();

    AppState& m_state;
    Dialogs& m_dialogs;
    EditorOpener m_openEditor;
    HeaderListModel* m_model;
    QStringList m_tableLines;
};
