#include "text/frmCancelSend.h"

#include "core/AppState.h"
#include "core/Widgets.h"

#include <QCloseEvent>
#include <QTimer>
#include <QVBoxLayout>

frmCancelSend::frmCancelSend(AppState& state, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblStatus(new PlainLabel(kDefaultStatus, this)),
      cmdCancel(new QPushButton("Cancel", this)),
      m_state(state)
{
    setObjectName("frmCancelSend");
    setWindowTitle("Quillnet");
    lblStatus->setObjectName("lblStatus");
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumWidth(320);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCancelSend::cmdCancel_Click);
}

void frmCancelSend::cmdCancel_Click()
{
    m_state.StopSend = true;
}

void frmCancelSend::showForTransmission()
{
    if (!isVisible() && parentWidget()) {
        adjustSize();
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.center().x() - width() / 2, owner.top() + owner.height() / 3);
    }
    show();
    raise();
}

void frmCancelSend::hideAfterTransmission()
{
    hide();
}

bool frmCancelSend::transmitting() const
{
    return !m_state.StopSend;
}

void frmCancelSend::comeBack()
{
    if (!transmitting() || !isVisible())
        return;
    if (isMinimized())
        showNormal();
    raise();
}

bool frmCancelSend::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::WindowDeactivate:
    case QEvent::WindowStateChange:
        // Come back once the window system has finished the change.
        QTimer::singleShot(0, this, &frmCancelSend::comeBack);
        break;
    default:
        break;
    }
    return handled;
}

void frmCancelSend::closeEvent(QCloseEvent* event)
{
    if (transmitting()) {
        cmdCancel_Click();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
