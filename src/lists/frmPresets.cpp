#include "lists/frmPresets.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/VbText.h"
#include "core/Widgets.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmPresets::frmPresets(AppState& state, Dialogs& dialogs, Dialler dial, std::function<bool()> portReady,
                       ListsRefresher refreshLists, QWidget* parent)
    : MarkListWindow(state, dialogs, ListDesign::favourites(),
                     {"frmPresets", " Quillnet Phonebook ", "Save", "Saves the changes made", "Re order the List",
                      "Closes the window"},
                     parent),
      m_dial(std::move(dial)), m_portReady(std::move(portReady)), m_refreshLists(std::move(refreshLists))
{
    lblHelp = new PlainLabel(QStringLiteral("Check the box to add the subscriber to the Favourite List. Uncheck to "
                                            "remove the subscriber from the list.  Click Save to save your choices. "
                                            "The list will be saved here: %1 to be used with the Quillnet USB / RS232 "
                                            "interface")
                                 .arg(QDir::toNativeSeparators(state.folder.file("\\phonebook.txt"))),
                             this);
    lblHelp->setObjectName("lblHelp");
    lblHelp->setWordWrap(true);
    setHelp(lblHelp);

    lblCalling = new CommandLabel("lblCalling", "Call", "Calls the selected Member", this);
    cmdSort = new QPushButton("Sorting", this);
    cmdSort->setObjectName("cmdSort");
    cmdSort->setAutoDefault(false);
    insertCommand(1, lblCalling);
    insertCommand(3, cmdSort);
    connect(lblCalling, &CommandLabel::clicked, this, &frmPresets::lblCalling_Click);
    connect(cmdSort, &QPushButton::clicked, this, &frmPresets::cmdSort_Click);

    loadList();
}

void frmPresets::lblCalling_Click()
{
    if (txtID->text() == kNoRowChosen) {
        m_dialogs.message("No selection was made ....");
        return;
    }
    if (m_portReady && !m_portReady())
        return;
    if (!mayDropChanges("The changed marks are not saved yet.\nClose the window, call and drop them?"))
        return;
    // The fields hold the number and name as stored, padded with blanks;
    // the box is given the number alone.
    const QString number = txtNumber->text().trimmed();
    const QString name = withoutTrailingBlanks(txtName->text());
    accept();
    if (m_dial)
        m_dial(number, name);
}

void frmPresets::saved(const SavedMarks&)
{
    if (m_refreshLists)
        m_refreshLists();
}
