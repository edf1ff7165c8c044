#include "directory/PhonebookCommands.h"

#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/Widgets.h"

PhonebookCommands::PhonebookCommands(CommandHost& host, Dialler callNumber, QObject* parent)
    : QObject(parent), m_host(host), m_panel(host, std::move(callNumber))
{
    connect(host.addCommand("Phonebook", "lblPhonebookShow", "Favorites", "Invokes the Favorites List"),
            &CommandLabel::clicked, this, &PhonebookCommands::lblPhonebookShow_Click);
    connect(host.addCommand("Phonebook", "lblRefresh", "Refresh Lists", "Reads the Favorites again"),
            &CommandLabel::clicked, this, &PhonebookCommands::lblRefresh_Click);
    connect(host.addCommand("Phonebook", "lblUpdate", "Update",
                            "Update Phonebook direct connection to the sunscribers Server"),
            &CommandLabel::clicked, this, &PhonebookCommands::lblUpdate_Click);
}

void PhonebookCommands::lblUpdate_Click()
{
    const Dialogs::Answer answer = m_host.dialogs().message(
        "This Option will retrieve the subscriber list directly from one the pre-defined servers, Favorites and "
        "Rundsend will be saved automaticaly. Please do not abuse to prevent Server issues!!",
        Dialogs::Icon::Critical, Dialogs::Buttons::YesNo, Dialogs::Answer::No, "Update Quillnet Phonebook");
    if (answer != Dialogs::Answer::Yes)
        return;
    frmUpdate window(m_host.state(), m_host.dialogs(), updateOptions, m_host.window());
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
    // The update may have changed names and numbers of the favourites.
    m_panel.refresh();
}
