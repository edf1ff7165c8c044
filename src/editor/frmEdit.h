#pragma once

#include "core/Operations.h"
#include "editor/EditorText.h"

#include <QDialog>
#include <QHash>
#include <QPlainTextEdit>
#include <functional>

struct AppState;
class Dialogs;
class QAction;
class QLabel;
class QStatusBar;
class QToolBar;

// The text area of the editor. It reports every key press, key release and
// mouse release after the text area has acted on it, so the row and column
// shown are those of the caret's new place.
class EditorTextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditorTextArea(QWidget* parent = nullptr);

signals:
    void caretReported();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The message editor: a plain-text editor for the prepared-text files, with
// a ruler of one telex line above the text and a column indicator that turns
// red past column 68. What it offers depends on the edit mode the caller
// sets in EditMode (the file is EditFile).
class frmEdit : public QDialog {
    Q_OBJECT
public:
    // Shows the help window over the editor; returns when it is closed.
    using HelpOpener = std::function<void(QWidget* over)>;

    frmEdit(AppState& state, Dialogs& dialogs, ListsRefresher refreshLists, HelpOpener showHelp,
            QWidget* parent = nullptr);

    // Takes EditMode and EditFile: the mode's status text and commands, the
    // caption, and the file (in the free editor's mode, a file chosen in the
    // open dialog).
    void Form_Load();
    // Form_Load, then the editor as a modal window; returns when it has
    // closed.
    void runModal();

    // A command of the command bar by its key (any case).
    void Toolbar_ButtonClick(const QString& key);

    const QString& fileName() const { return m_fileName; }
    bool modified() const { return m_modified; }
    // The command bar button of a key.
    QAction* button(const QString& key) const { return m_buttons.value(key); }

    EditorTextArea* txtText;
    QToolBar* Toolbar;
    QStatusBar* Status;
    QLabel* lblStatus;
    QLabel* lblRuler;
    QLabel* lblMax;
    // The status bar panels keyed "modified", "row" and "col".
    QLabel* panelModified;
    QLabel* panelRow;
    QLabel* panelCol;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape: the same as "exit".
    void reject() override;

private:
    void buildWindow();
    void applyMode(int mode);
    void refreshCaption();
    void setModified(bool modified);
    // Shows the caret's row and column and colours the column indicator.
    void reportCaret();

    // Loads a file into the text area; false when nothing was loaded (a
    // missing file says nothing, any other failure says why).
    bool loadFile(const QString& path);
    // The open dialog, then the chosen file; it becomes the file edited.
    void chooseAndLoad();
    // Saves, asking for a name when needed; false when nothing was saved.
    bool save(bool askForName);
    // Asks whether changes are to be saved; false when the command must not
    // go on because the text the user wanted saved was not.
    bool askToSave();
    void appendAtEnd(const QString& text);
    // "exit": false when the editor stays open.
    bool exitEditor();

    AppState& m_state;
    Dialogs& m_dialogs;
    ListsRefresher m_refreshLists;
    HelpOpener m_showHelp;
    QHash<QString, QAction*> m_buttons;
    QString m_fileName;
    // How the file edited was read, and so how it is written.
    editortext::FileForm m_fileForm;
    bool m_modified = false;
    bool m_closing = false;
};
