#pragma once

#include "lists/MarkListWindow.h"

class QListWidget;

// The broadcast receiver window: the subscribers whose check box is on are
// the receivers of a broadcast (mark RsGr2). Saving also writes the receiver
// file RSend.txt, shows its lines in lstRSend and closes the window with
// Accepted, after which the broadcast header is due.
class frmCirculair : public MarkListWindow {
    Q_OBJECT
public:
    frmCirculair(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    QLabel* lblHeading;
    QLabel* lblRsHelp;
    QListWidget* lstRSend;

protected:
    void saved(const SavedMarks& result) override;
};
