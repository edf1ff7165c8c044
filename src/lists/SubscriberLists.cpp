#include "lists/SubscriberLists.h"

#include "core/CommandHost.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"

SubscriberLists::SubscriberLists(CommandHost& host, Dialler dial, ListsRefresher refreshLists,
                                 EditorOpener openEditor, QObject* parent)
    : QObject(parent), m_host(host), m_dial(std::move(dial)), m_refreshLists(std::move(refreshLists)),
      m_openEditor(std::move(openEditor))
{
    lblPreset = host.addCommand("Phonebook", "lblPreset", "Phonebook", "Shows Quillnet Phonebook");
    lblRSendList = host.addCommand("Broadcast", "lblRSendList", "RS Receivers", "Rundsenden Subscribers List");
    lblHeader = host.addCommand("Broadcast", "lblHeader", "Set RS List", "Display and sets, saves the RS list");
    connect(lblPreset, &CommandLabel::clicked, this, &SubscriberLists::lblPreset_Click);
    connect(lblRSendList, &CommandLabel::clicked, this, &SubscriberLists::lblRSendList_Click);
    connect(lblHeader, &CommandLabel::clicked, this, &SubscriberLists::lblHeader_Click);
}

void SubscriberLists::lblPreset_Click()
{
    frmPresets window(m_host.state(), m_host.dialogs(), m_dial, [this] { return portGuard(m_host, true); },
                      m_refreshLists, m_host.window());
    window.exec();
}

void SubscriberLists::lblRSendList_Click()
{
    frmCirculair window(m_host.state(), m_host.dialogs(), m_host.window());
    // Accepted: the receivers were saved, and the header is built from them.
    if (window.exec() == QDialog::Accepted)
        lblHeader_Click();
}

void SubscriberLists::lblHeader_Click()
{
    frmHeader window(m_host.state(), m_host.dialogs(), m_openEditor, m_host.window());
    window.exec();
}
