#include "puncher/PunchPanel.h"

#include "core/Widgets.h"
#include "puncher/PunchTape.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PunchPanel::PunchPanel(QWidget* desk) : QGroupBox("Human Readable Punchtape", desk)
{
    setObjectName("frmPunch");
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xECE8DE));
    setPalette(colours);

    txtInput = new QLineEdit(this);
    txtInput->setObjectName("txtInput");
    QFont inputFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    inputFont.setPointSize(12);
    txtInput->setFont(inputFont);

    lblPreview = new PlainLabel(this);
    lblPreview->setObjectName("lblPreview");
    QFont captionFont = lblPreview->font();
    captionFont.setBold(true);
    lblPreview->setFont(captionFont);
    setPreviewCaption("Preview", Qt::black);

    picPunch = new PunchTape(this);

    cmdPunch = new QPushButton("Punch", this);
    cmdPunch->setObjectName("cmdPunch");
    cmdEndPunch = new QPushButton("Exit", this);
    cmdEndPunch->setObjectName("cmdEndPunch");
    for (QPushButton* command : {cmdPunch, cmdEndPunch}) {
        command->setMinimumWidth(100);
        command->setAutoDefault(false);
    }

    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(cmdPunch);
    commands->addWidget(cmdEndPunch);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(txtInput);
    layout->addSpacing(6);
    layout->addWidget(lblPreview);
    layout->addWidget(picPunch);
    layout->addStretch(1);
    layout->addLayout(commands);
}

void PunchPanel::setPreviewCaption(const QString& caption, const QColor& color)
{
    if (lblPreview->text() != caption)
        lblPreview->setText(caption);
    if (color == m_previewColor)
        return;
    m_previewColor = color;
    QPalette colours = lblPreview->palette();
    colours.setColor(QPalette::WindowText, color);
    lblPreview->setPalette(colours);
}
