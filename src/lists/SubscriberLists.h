#pragma once

#include "core/Operations.h"

#include <QObject>

class CommandHost;
class CommandLabel;

// The subscriber lists of the main window: the favourites window
// ("Phonebook" group), the broadcast receiver window and the broadcast
// header ("Broadcast" group). Each window opens modally over the main
// window; saving the receivers leads on to the header.
class SubscriberLists : public QObject {
    Q_OBJECT
public:
    // `dial` is CallNumber; `refreshLists` the main window's favourites
    // refresh (lblRefresh_Click); `openEditor` the message editor, which the
    // header window opens on the receiver file.
    SubscriberLists(CommandHost& host, Dialler dial, ListsRefresher refreshLists, EditorOpener openEditor,
                    QObject* parent = nullptr);

    // Opens the favourites window.
    void lblPreset_Click();
    // Opens the broadcast receiver window, and after a save the header.
    void lblRSendList_Click();
    // Opens the broadcast header window.
    void lblHeader_Click();

    CommandLabel* lblPreset;
    CommandLabel* lblRSendList;
    CommandLabel* lblHeader;

private:
    CommandHost& m_host;
    Dialler m_dial;
    ListsRefresher m_refreshLists;
    EditorOpener m_openEditor;
};
