#include "core/StatusPanel.h"

#include <QBoxLayout>

namespace {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* owner)
{
    auto* label = new PlainLabel(text, owner);
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
    QWidget* owner = lblAction->parentWidget();
    const QFontMetrics metrics(lblAction->font());
    // A reading keeps the width of its longest usual text, so the row does
    // not jump as the texts change; a reading that changes while the
    // program runs (the counter, the times, the date) is fixed at that size,
    // so a new text only redraws its own field and never lays out the row.
    // The frame runs round the whole field (no contents margins, which
    // would draw it inset), so a coloured field is filled to its frame.
    auto field = [&](QLabel* label, const QString& widest) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(metrics.horizontalAdvance(widest) + 14);
        label->setAlignment(Qt::AlignCenter);
    };
    auto fixedField = [&](QLabel* label, const QString& widest) {
        field(label, widest);
        label->setFixedSize(label->minimumWidth(), label->sizeHint().height());
    };
    field(lblCport1, "Com: Unknown");
    field(lblStatus1, "115200,n,8,1");
    field(lblAction, QString());
    lblAction->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblAction->setMinimumWidth(160);
    fixedField(lblMaxChar, "000");
    fixedField(lblElapsed, "00:00:00 ");
    fixedField(lblDate, "00/00/0000");
    fixedField(lblTempo, "00:00:00");

    // The counter is a bare number; its caption says what it counts.
    auto* counterCaption = new PlainLabel("Chars", owner);
    counterCaption->setObjectName("lblMaxCharCaption");
    counterCaption->setToolTip(lblMaxChar->toolTip());

    row->setSpacing(4);
    row->addWidget(imgPort1);
    row->addWidget(lblCport1);
    row->addWidget(lblStatus1);
    row->addWidget(lblAction, 1);
    row->addSpacing(4);
    row->addWidget(counterCaption);
    row->addWidget(lblMaxChar);
    row->addWidget(lblElapsed);
    row->addWidget(lblDate);
    row->addWidget(lblTempo);
    row->addWidget(imgRX);
    row->addWidget(imgTX);
}

void StatusPanel::showDateTime(const QString& date, const QString& time)
{
    if (date != lblDate->text()) {
        // A date format longer than the usual one widens its field.
        const int needed = lblDate->fontMetrics().horizontalAdvance(date) + 14;
        if (needed > lblDate->width() && lblDate->minimumWidth() == lblDate->maximumWidth())
            lblDate->setFixedWidth(needed);
        lblDate->setText(date);
    }
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
