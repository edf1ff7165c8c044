#pragma once

#include "core/Operations.h"

#include <QObject>

class CommandHost;
class CommandLabel;
class QWidget;

// The message editor and the help window as the main window offers them: the
// editor opener that the editing commands of the other parts receive, and
// the command "Version Description" that shows the help window.
class EditorPart : public QObject {
    Q_OBJECT
public:
    // `refreshLists` runs after every save in the editor, so an edited list
    // file takes effect at once.
    EditorPart(CommandHost& host, ListsRefresher refreshLists, QObject* parent = nullptr);

    // Sets EditFile and EditMode, then runs the message editor modally;
    // returns when it has closed.
    void openEditor(const QString& file, int mode);
    // openEditor as the operation handed to other parts.
    EditorOpener opener();

    // The help window, modally over `over`; returns when it has closed.
    void showHelp(QWidget* over);
    void lblAiuto_Click();

    CommandLabel* lblAiuto;

private:
    CommandHost& m_host;
    ListsRefresher m_refreshLists;
};
