#pragma once

#include "core/Operations.h"
#include "lists/MarkListWindow.h"

#include <functional>

class QPushButton;

// The favourites window: the subscribers whose check box is on are the
// favourites (mark Check) that the main window's panel offers for one-click
// calling. A chosen subscriber can be called from here.
class frmPresets : public MarkListWindow {
    Q_OBJECT
public:
    // `portReady` is the port guard (it tells the user when the port is
    // closed); `refreshLists` brings the main window's favourites up to date
    // after a save.
    frmPresets(AppState& state, Dialogs& dialogs, Dialler dial, std::function<bool()> portReady,
               ListsRefresher refreshLists, QWidget* parent = nullptr);

    // Calls the subscriber shown in the fields, closing the window.
    void lblCalling_Click();
    void cmdSort_Click() { sortByName(); }

    QLabel* lblHelp;
    CommandLabel* lblCalling;
    QPushButton* cmdSort;

protected:
    void saved(const SavedMarks& result) override;

private:
    Dialler m_dial;
    std::function<bool()> m_portReady;
    ListsRefresher m_refreshLists;
};
