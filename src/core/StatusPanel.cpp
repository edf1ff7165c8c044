#include "core/StatusPanel.h"

#include <QBoxLayout>

namespace {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* owner)
{
    auto* label = new QLabel(text, owner);
    label->setObjectName(name);
    return label;
}

} // namespace

StatusPanel::StatusPanel(QWidget* owner)
    : QObject(owner),
      imgPort1(new PictureLamp("imgPort1", PictureLamp::PortPlug, "Port state", owner)),
      lblCport1(namedLabel("lblCport1", "Com: Unknown", owner)),
      lblStatus1(namedLabel("lblStatus1", "Port Settings", owner)),
      lblAction(namedLabel("lblAction", "Program Parameters Loaded", owner)),
      lblMaxChar(namedLabel("lblMaxChar", "69", owner)),
      Line1(new RulerLine(owner)),
      lblElapsed(namedLabel("lblElapsed", "Off Line", owner)),
      lblDate(namedLabel("lblDate", QString(), owner)),
      lblTempo(namedLabel("lblTempo", QString(), owner)),
      imgRX(new PictureLamp("imgRX", PictureLamp::ActivityLight, "Receiving", owner)),
      imgTX(new PictureLamp("imgTX", PictureLamp::ActivityLight, "Transmitting", owner))
{
    lblElapsed->setToolTip("Elapsed time after connection");
    lblAction->setToolTip("Displays Last Program Action");
    lblMaxChar->setToolTip("Character  Counter");
    lblMaxChar->setAlignment(Qt::AlignCenter);
    lblMaxChar->setAutoFillBackground(true);
    lblMaxChar->setMinimumWidth(32);
    Timer2.setObjectName("Timer2");
    Timer2.setInterval(2000);
    connect(&Timer2, &QTimer::timeout, this, [this] {
        lblAction->setText("Status: ");
        Timer2.stop();
    });
    Timer2.start();
}

void StatusPanel::addTo(QBoxLayout* row)
{
    row->addWidget(imgPort1);
    row->addWidget(lblCport1);
    row->addWidget(lblStatus1);
    row->addSpacing(12);
    row->addWidget(lblAction, 1);
    row->addWidget(lblMaxChar);
    row->addWidget(lblElapsed);
    row->addWidget(lblDate);
    row->addWidget(lblTempo);
    row->addWidget(imgRX);
    row->addWidget(imgTX);
}

void StatusPanel::showDateTime(const QString& date, const QString& time)
{
    lblDate->setText(date);
    lblTempo->setText(time);
}

void StatusPanel::setAction(const QString& text)
{
    lblAction->setText(text);
}

void StatusPanel::showEventText(const QString& text)
{
    lblAction->setText("Status: " + text);
    Timer2.start();
}

void StatusPanel::resetColumn()
{
    resetRuler();
    setMaxCharBackground(green());
    lblMaxChar->setText("0");
}

void StatusPanel::resetRuler()
{
    Line1->setColor(green());
    Line1->reset();
}

void StatusPanel::showCount(int count)
{
    lblMaxChar->setText(QString::number(count));
}

void StatusPanel::setColumnColor(const QColor& color)
{
    setMaxCharBackground(color);
    Line1->setColor(color);
}

void StatusPanel::setMaxCharBackground(const QColor& color)
{
    QPalette palette = lblMaxChar->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, Qt::black);
    lblMaxChar->setPalette(palette);
    lblMaxChar->setProperty("backColor", color);
}
