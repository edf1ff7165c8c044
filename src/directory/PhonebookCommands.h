#pragma once

#include "core/Operations.h"
#include "directory/FavouritesPanel.h"
#include "directory/frmUpdate.h"

#include <QObject>

class CommandHost;
class CommandLabel;

// The subscriber directory's share of the main window: the favourites panel
// with its commands "Favorites" and "Refresh Lists", and "Update", which
// opens the phonebook update window after a warning.
class PhonebookCommands : public QObject {
    Q_OBJECT
public:
    PhonebookCommands(CommandHost& host, Dialler callNumber, QObject* parent = nullptr);

    void lblPhonebookShow_Click() { m_panel.show(); }
    void lblRefresh_Click() { m_panel.refresh(); }
    void lblUpdate_Click();

    // lblRefresh_Click for the parts that change the lists.
    ListsRefresher refresher()
    {
        return [this] { lblRefresh_Click(); };
    }

    FavouritesPanel& panel() { return m_panel; }

    // How the update window reaches the server: port 11811 and the standard
    // time-outs in the program.
    DirectoryOptions updateOptions;

private:
    CommandHost& m_host;
    FavouritesPanel m_panel;
};
