#include "link/frmProperties.h"

#include "core/Dialogs.h"
#include "core/SettingsStore.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kHighestPort = 32;

QComboBox* makeList(const QString& name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}
} // namespace

frmProperties::frmProperties(SerialLink& link, SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_link(link), m_settings(settings), m_dialogs(dialogs)
{
    setObjectName("frmProperties");
    setWindowTitle("Comm Settings");
    cboPort = makeList("cboPort", this);
    cboSpeed = makeList("cboSpeed", this);
    cboDataBits = makeList("cboDataBits", this);
    cboParity = makeList("cboParity", this);
    cboStopBits = makeList("cboStopBits", this);
    lblSettings = new PlainLabel(this);
    lblSettings->setObjectName("lblSettings");
    lblOK = new CommandLabel("lblOK", "Save", "Save the settings", this);
    lblExit = new CommandLabel("lblExit", "Exit", "Close without saving", this);

    auto* layout = new QVBoxLayout(this);
    auto* title = new PlainLabel("Comm Settings", this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title);
    layout->addWidget(new PlainLabel("Actual Quillnet Comm Settings:", this));
    layout->addWidget(lblSettings);
    layout->addWidget(new PlainLabel("Default: 9600,n,8,1 Port: 1", this));

    auto* grid = new QGridLayout;
    const QList<QPair<QString, QComboBox*>> rows = {
        {"Port:", cboPort}, {"Speed:", cboSpeed}, {"Data Bits:", cboDataBits},
        {"Parity:", cboParity}, {"Stop Bits:", cboStopBits}};
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(new PlainLabel(rows[i].first, this), i, 0);
        grid->addWidget(rows[i].second, i, 1);
    }
    layout->addLayout(grid);

    auto* flow = new QGroupBox("Flow Control:", this);
    auto* flowLayout = new QHBoxLayout(flow);
    const QStringList flowCaptions = {"None", "Xon/Xoff", "RTS", "Xon/RTS"};
    for (int i = 0; i < 4; ++i) {
        optFlow[i] = new QRadioButton(flowCaptions[i], flow);
        optFlow[i]->setObjectName(QStringLiteral("optFlow_%1").arg(i));
        flowLayout->addWidget(optFlow[i]);
        connect(optFlow[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                FlowIndex = qint16(i);
        });
    }
    layout->addWidget(flow);

    chkReopenPort = new QCheckBox("Reopen the port when the adapter returns", this);
    chkReopenPort->setObjectName("chkReopenPort");
    chkReopenPort->setToolTip("When the port's device vanishes (adapter pulled), open the port again as soon "
                              "as the same device is back. Nothing is sent or dialled by itself.");
    layout->addWidget(chkReopenPort);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(lblOK);
    buttons->addWidget(lblExit);
    layout->addLayout(buttons);

    connect(lblOK, &CommandLabel::clicked, this, &frmProperties::lblOK_Click);
    connect(lblExit, &CommandLabel::clicked, this, &frmProperties::lblExit_Click);
}

void frmProperties::LoadPropertySettings(int branch)
{
    if (branch != 1)
        return;
    PortScan();

    cboSpeed->clear();
    cboSpeed->addItems({"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800",
                        "38400", "56000", "57600", "115200", "128000", "256000"});
    cboDataBits->clear();
    cboDataBits->addItems({"4", "5", "6", "7", "8"});
    cboParity->clear();
    cboParity->addItems({"Even", "Odd", "None", "Mark", "Space"});
    cboStopBits->clear();
    cboStopBits->addItems({"1", "1.5", "2"});

    const QString settings = m_link.settings();
    lblSettings->setText(settingsSummary(settings, m_link.portNumber(), m_link.handshaking()));
    const PortDialogFields fields = dialogFieldsFromSettings(settings);
    // Like a list that was only filled, nothing is chosen until a value is set.
    auto choose = [](QComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); };
    choose(cboSpeed, fields.speed);
    cboParity->setCurrentIndex(fields.parityIndex);
    choose(cboDataBits, fields.dataBits);
    choose(cboStopBits, fields.stopBits);
    if (m_link.handshaking() >= 0 && m_link.handshaking() < 4)
        optFlow[m_link.handshaking()]->setChecked(true);
    chkReopenPort->setChecked(m_settings.get(setting_keys::ReopenPort) == QLatin1String("1"));
}

void frmProperties::PortScan()
{
    const int remembered = m_link.portNumber();
    const bool wasOpen = m_link.isOpen();
    m_link.close();
    cboPort->clear();

    bool found = false;
    for (int number = 1; number <= kHighestPort; ++number) {
        if (!m_link.setPortNumber(number))
            continue;
        if (m_link.isOpen())
            m_link.close();
        if (m_link.open()) {
            m_link.close();
            found = true;
            cboPort->addItem("Com" + vbStr(qint64(number)));
        }
    }
    if (!found) {
        m_dialogs.message("No Comm port found.", Dialogs::Icon::Exclamation);
        m_dialogs.message("Ceck cable, connectors and equipment", Dialogs::Icon::Critical);
    }

    QString error;
    if (!m_link.setPortNumber(remembered, &error)) {
        reportScanFailure(8002, error);
        return;
    }
    if (wasOpen && !m_link.open(&error))
        reportScanFailure(8005, error);
}

void frmProperties::reportScanFailure(int code, const QString& description)
{
    m_dialogs.message("Fehler  " + vbStr(qint64(code)) + " . " + description, Dialogs::Icon::Exclamation);
    m_dialogs.message("Please contact (" + kContactAddress + ").");
}

void frmProperties::lblOK_Click()
{
    const int oldPort = m_link.portNumber();
    const int newPort = portNumberFromEntry(cboPort->currentText()).value_or(oldPort);
    QString error;
    if (newPort != oldPort) {
        const bool reopen = m_link.isOpen();
        m_link.close();
        if (!m_link.setPortNumber(newPort, &error)) {
            m_dialogs.warn(error);
            m_link.setPortNumber(oldPort);
        } else if (reopen) {
            if (m_link.open(&error))
                emit portReopened();
            else
                m_dialogs.warn(error);
        }
    }

    const QString settings = settingsFromDialog(cboSpeed->currentText(), cboParity->currentText(),
                                                cboDataBits->currentText(), cboStopBits->currentText());
    if (!m_link.setSettings(settings, &error)) {
        m_dialogs.warn(error);
        return;
    }
    if (!m_link.setHandshaking(FlowIndex, &error)) {
        m_dialogs.warn(error);
        return;
    }
    m_settings.save(setting_keys::ReopenPort, chkReopenPort->isChecked() ? "1" : "0");
    if (!savePortSettings(m_link, m_settings))
        m_dialogs.warn("The settings could not be written to " + m_settings.location()
                       + ". They apply until the program ends.");
    accept();
}

void frmProperties::lblExit_Click()
{
    reject();
}
