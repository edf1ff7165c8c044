#pragma once

#include "lists/MarkListModel.h"
#include "lists/MarkSaving.h"

#include <QDialog>
#include <array>

struct AppState;
class CommandLabel;
class Dialogs;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTreeView;

// The room the check box takes in the first column of a list, which is
// given to that column on top of its designed width so the ID stays
// readable.
int checkBoxRoom(const QWidget* list);

// The window both list windows are: the directory in the list lvwStat with
// a check box per subscriber, the fields of the row last clicked, a status
// line, and the commands Save, Preview and Exit. The favourites window and
// the broadcast receiver window add their own commands and say what
// happens after a save; everything else is this class, driven by the
// window's ListDesign.
class MarkListWindow : public QDialog {
    Q_OBJECT
public:
    // The initial text of txtID: no row has been clicked yet.
    static const QString kNoRowChosen;

    // Reads phonebook.txt into the list (sorted by name); lblSave disabled.
    void loadList();
    void sortByName();
    // Rewrites the marks of every record (and what the window writes
    // beside); on failure the user is told and the marks stay on screen.
    void lblSave_Click();
    // Loads the list again; unsaved changes are dropped only when the user
    // agrees.
    void lblPreview_Click();
    // Closes the window; unsaved changes are dropped only when the user
    // agrees.
    void lblExit_Click();
    // Shows the fields of a row (a row of the list as it stands).
    void lvwStat_ItemClick(int row);

    MarkListModel& model() { return *m_model; }
    // The record position whose fields are shown, or -1.
    int chosenPosition() const { return m_chosen; }

    QTreeView* lvwStat;
    std::array<QLineEdit*, MarkColumnCount> fields{};
    QLineEdit* txtID;
    QLineEdit* txtNumber;
    QLineEdit* txtName;
    QLineEdit* txtChk;
    QLineEdit* txtRsGr1;
    QLineEdit* txtRsGr2;
    QLineEdit* txtRsGr3;
    QLineEdit* txtRsGr4;
    QLineEdit* txtRsGr5;
    QLineEdit* txtAction;
    QLabel* lblStatus;
    CommandLabel* lblSave;
    CommandLabel* lblPreview;
    CommandLabel* lblExit;

protected:
    struct Texts {
        QString objectName;
        QString caption;
        QString saveCaption;
        QString saveTip;
        QString previewTip;
        QString exitTip;
    };

    MarkListWindow(AppState& state, Dialogs& dialogs, ListDesign design, const Texts& texts, QWidget* parent);

    // The window keeps the height its wrapped texts need at its narrowest.
    void showEvent(QShowEvent* event) override;

    // Runs after a save has written its files.
    virtual void saved(const SavedMarks& result) = 0;

    // Places the window's own parts: a line above the list, a panel to the
    // right of it, the explanation under the fields, a command in the
    // command row (before the ones already there at `index`).
    void setHeading(QWidget* heading);
    void setSidePanel(QWidget* panel);
    void setHelp(QWidget* help);
    void insertCommand(int index, QWidget* command);

    // Escape and the window's close button act as Exit.
    void reject() override;

    // True when nothing unsaved would be lost, or the user agrees to lose it.
    bool mayDropChanges(const QString& question);

    AppState& m_state;
    Dialogs& m_dialogs;

private:
    void buildWindow(const Texts& texts);
    void onCheckChanged();
    void showStatus(const QString& extra = QString(), const QColor& colour = Qt::black);
    void showRecordFields(int position);
    void fitColumns();

    MarkListModel* m_model;
    QGridLayout* m_grid;
    QHBoxLayout* m_commands;
    int m_chosen = -1;
};
