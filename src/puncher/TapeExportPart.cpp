#include "puncher/TapeExportPart.h"

#include "core/CommandHost.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "puncher/PunchTape.h"
#include "puncher/TapeExport.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TapeSaveWindow::TapeSaveWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName("frmTapeSave");
    setWindowTitle("Save Tape");
    auto* layout = new QVBoxLayout(this);
    auto* scaleRow = new QHBoxLayout;
    auto* scaleLabel = new QLabel("Scale (picture pixels per tape pixel):", this);
    scaleLabel->setTextFormat(Qt::PlainText);
    spnTapeScale = new QSpinBox(this);
    spnTapeScale->setObjectName("spnTapeScale");
    spnTapeScale->setRange(1, 12);
    spnTapeScale->setValue(PunchTape::kZoom);
    scaleRow->addWidget(scaleLabel);
    scaleRow->addWidget(spnTapeScale);
    layout->addLayout(scaleRow);
    lblTapeSize = new QLabel(this);
    lblTapeSize->setObjectName("lblTapeSize");
    lblTapeSize->setTextFormat(Qt::PlainText);
    layout->addWidget(lblTapeSize);
    auto* commands = new QHBoxLayout;
    cmdSaveSvg = new QPushButton("Save SVG...", this);
    cmdSaveSvg->setObjectName("cmdSaveSvg");
    cmdSavePng = new QPushButton("Save PNG...", this);
    cmdSavePng->setObjectName("cmdSavePng");
    cmdTapeSaveClose = new QPushButton("Close", this);
    cmdTapeSaveClose->setObjectName("cmdTapeSaveClose");
    commands->addWidget(cmdSaveSvg);
    commands->addWidget(cmdSavePng);
    commands->addStretch(1);
    commands->addWidget(cmdTapeSaveClose);
    layout->addLayout(commands);
    connect(cmdTapeSaveClose, &QPushButton::clicked, this, &QDialog::close);
}

void TapeSaveWindow::showSize(const QString& text)
{
    const QSize size = tapeexport::pictureSize(text, spnTapeScale->value());
    lblTapeSize->setText(size.isEmpty() ? QStringLiteral("The tape is empty.")
                                        : QStringLiteral("The whole tape: %1 x %2 pixels").arg(size.width()).arg(size.height()));
}

TapeExportPart::TapeExportPart(CommandHost& host, std::function<QString()> tapeText, QObject* parent)
    : QObject(parent), m_host(host), m_tapeText(std::move(tapeText))
{
    connect(host.addCommand("Tape", "lblSaveTape", "Save Tape", "Saves the puncher's tape picture as SVG or PNG"),
            &CommandLabel::clicked, this, &TapeExportPart::lblSaveTape_Click);
}

void TapeExportPart::lblSaveTape_Click()
{
    const QString text = m_tapeText();
    if (tapeexport::pictureSize(text, 1).isEmpty()) {
        m_host.dialogs().message("The tape is empty: type a text in the puncher first.", Dialogs::Icon::Information);
        return;
    }
    if (!m_window) {
        m_window = new TapeSaveWindow(m_host.window());
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_window->spnTapeScale, &QSpinBox::valueChanged, m_window, [this] { m_window->showSize(m_tapeText()); });
        connect(m_window->cmdSaveSvg, &QPushButton::clicked, this, [this] { save(true); });
        connect(m_window->cmdSavePng, &QPushButton::clicked, this, [this] { save(false); });
    }
    m_window->showSize(text);
    m_window->show();
    m_window->raise();
}

void TapeExportPart::save(bool svg)
{
    const QString text = m_tapeText();
    const int scale = m_window->spnTapeScale->value();
    const QString path = m_host.dialogs().saveFile(
        {svg ? "Save Tape as SVG" : "Save Tape as PNG",
         svg ? "SVG Pictures (*.svg)|*.svg|All Files (*.*)|*.*" : "PNG Pictures (*.png)|*.png|All Files (*.*)|*.*",
         m_host.state().folder.path(), svg ? "tape.svg" : "tape.png", svg ? "svg" : "png"});
    if (path.isEmpty())
        return;
    QString error;
    const bool saved = svg ? tapeexport::saveSvg(path, text, scale, &error) : tapeexport::savePng(path, text, scale, &error);
    if (!saved) {
        m_host.dialogs().warn(QStringLiteral("The tape cannot be saved to %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_host.status().setAction("Tape saved: " + QDir::toNativeSeparators(path));
}
