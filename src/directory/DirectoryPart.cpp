#include "directory/DirectoryPart.h"

#include "core/Dialogs.h"
#include "app/TerminalContext.h"
#include "app/terminal.h"

DirectoryPart::DirectoryPart(TerminalContext& context, frmTerminal& terminal, FavouritesPanel::Dialler dial)
    : m_context(context), m_terminal(terminal),
      m_panel(context, terminal.frameNumbers, std::move(dial))
{
    lblPhonebookShow = terminal.addCommand("Phonebook", "lblPhonebookShow", "Favorites", "Invokes the Favorites List");
    lblRefresh = terminal.addCommand("Phonebook", "lblRefresh", "Refresh Lists", "Reads the Favorites again");
    lblUpdate = terminal.addCommand("Phonebook", "lblUpdate", "Update",
                                    "Update Phonebook direct connection to the sunscribers Server");
    connect(lblPhonebookShow, &CommandLabel::clicked, this, &DirectoryPart::lblPhonebookShow_Click);
    connect(lblRefresh, &CommandLabel::clicked, this, &DirectoryPart::lblRefresh_Click);
    connect(lblUpdate, &CommandLabel::clicked, this, &DirectoryPart::lblUpdate_Click);
}

void DirectoryPart::lblUpdate_Click()
{
    const Dialogs::Answer answer = m_context.dialogs.message(
        "This Option will retrieve the subscriber list directly from one the pre-defined servers, Favorites and "
        "Rundsend will be saved automaticaly. Please do not abuse to prevent Server issues!!",
        Dialogs::Icon::Critical, Dialogs::Buttons::YesNo, Dialogs::Answer::No, "Update Quillnet Phonebook");
    if (answer != Dialogs::Answer::Yes)
        return;
    frmUpdate window(m_context.state, m_context.dialogs, updateOptions, &m_terminal);
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
    // The update may have changed names and numbers of the favourites.
    m_panel.refresh();
}
