#include "core/Desk.h"

Desk::Desk(QWidget* parent) : QWidget(parent)
{
    setObjectName("desk");
    setAutoFillBackground(true);
}

void Desk::hidePanel(const QString& name)
{
    if (QWidget* panel = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
        panel->hide();
}
