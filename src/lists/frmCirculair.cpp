#include "lists/frmCirculair.h"

#include "core/Widgets.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

frmCirculair::frmCirculair(AppState& state, Dialogs& dialogs, QWidget* parent)
    : MarkListWindow(state, dialogs, ListDesign::receivers(),
                     {"frmCirculair", " Quillnet Rundsenden List ", "Save Receivers List", QString(), QString(),
                      QString()},
                     parent)
{
    lblHeading = new PlainLabel("Quillnet Rundenden Receivers", this);
    lblHeading->setObjectName("lblHeading");
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    lblHeading->setFont(headingFont);
    setHeading(lblHeading);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new PlainLabel("Receivers List for Rundsenden Service", side));
    lstRSend = new QListWidget(side);
    lstRSend->setObjectName("lstRSend");
    lstRSend->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lstRSend->setMinimumWidth(200);
    sideLayout->addWidget(lstRSend, 1);
    setSidePanel(side);

    lblRsHelp = new PlainLabel("Click the CheckBox to add the subscriber to the RSend Receiver List. Uncheck to remove "
                               "the subscriber from the list.  Click Save to save your choices. ",
                               this);
    lblRsHelp->setObjectName("lblRsHelp");
    lblRsHelp->setWordWrap(true);
    setHelp(lblRsHelp);

    loadList();
}

void frmCirculair::saved(const SavedMarks& result)
{
    lstRSend->clear();
    lstRSend->addItems({"Rundsenden to:", " "});
    lstRSend->addItems(result.receiverLines);
    accept();
}
