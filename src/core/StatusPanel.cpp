#include "core/StatusPanel.h"

StatusPanel::StatusPanel(QWidget* owner)
    : QObject(owner),
      lblAction(new QLabel("Program Parameters Loaded", owner)),
      lblMaxChar(new QLabel("69", owner)),
      Line1(new RulerLine(owner)),
      imgRX(new PictureLamp("imgRX", PictureLamp::ActivityLight, "Receiving", owner)),
      imgTX(new PictureLamp("imgTX", PictureLamp::ActivityLight, "Transmitting", owner))
{
    lblAction->setObjectName("lblAction");
    lblAction->setToolTip("Displays Last Program Action");
    lblMaxChar->setObjectName("lblMaxChar");
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
