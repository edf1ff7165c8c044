#pragma once

#include "directory/FavouritesPanel.h"
#include "directory/frmUpdate.h"

#include <QObject>

class CommandLabel;
class frmTerminal;
struct TerminalContext;

// The subscriber directory's share of the main window: the favourites panel
// with its commands "Favorites" and "Refresh Lists", and "Update", which
// opens the phonebook update window after a warning.
class DirectoryPart : public QObject {
    Q_OBJECT
public:
    DirectoryPart(TerminalContext& context, frmTerminal& terminal, FavouritesPanel::Dialler dial);

    void lblPhonebookShow_Click() { m_panel.show(); }
    void lblRefresh_Click() { m_panel.refresh(); }
    void lblUpdate_Click();

    FavouritesPanel& panel() { return m_panel; }

    // How the update window reaches the server: port 11811 and the standard
    // time-outs in the program.
    DirectoryOptions updateOptions;

    CommandLabel* lblPhonebookShow;
    CommandLabel* lblRefresh;
    CommandLabel* lblUpdate;

private:
    TerminalContext& m_context;
    frmTerminal& m_terminal;
    FavouritesPanel m_panel;
};
