#include "link/PortCommands.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/DateText.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "link/frmProperties.h"
#include "link/PortWatcher.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"

namespace {

const QString kOpenPortCaption = QStringLiteral("Open Port ");
const QString kClosePortCaption = QStringLiteral("Close Port");
// The settings the port always opens with.
const QString kFixedSettings = QStringLiteral("9600,n,8,1");

} // namespace

PortCommands::PortCommands(CommandHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_watcher(new PortWatcher(this)), Timer1(new QTimer(this))
{
    m_lblOpen1 = host.addCommand("Port", "lblOpen1", kOpenPortCaption, "Opens pre defined comm port");
    m_lblProps = host.addCommand("Port", "lblProps", "Port Settings", "Shows ComPort Settings Form");
    connect(m_lblOpen1, &CommandLabel::clicked, this, &PortCommands::lblOpen1_Click);
    connect(m_lblProps, &CommandLabel::clicked, this, &PortCommands::lblProps_Click);
    connect(&host.link(), &SerialLink::deviceLost, this, &PortCommands::onDeviceLost);
    connect(m_watcher, &PortWatcher::deviceReturned, this, &PortCommands::reopenReturnedPort);
    // However the port opens (the user, the settings window), the watch is over.
    connect(&host.link(), &SerialLink::openChanged, this, [this](bool open) {
        if (open)
            m_watcher->stop();
    });

    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    // On whole seconds, like the clock's Timer3: both tick in one wake-up.
    Timer1->setTimerType(Qt::VeryCoarseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] {
        const qint64 seconds = std::max<qint64>(0, StartTime.secsTo(m_host.state().now())) % 86400;
        const QDateTime elapsed(QDate(2000, 1, 1), QTime(0, 0).addSecs(int(seconds)));
        m_host.status().lblElapsed->setText(formatDateText(elapsed, "hh:nn:ss") + " ");
    });
}

void PortCommands::lblOpen1_Click()
{
    AppState& state = m_host.state();
    SerialLink& link = m_host.link();
    m_host.desk().hidePanel("frameHeadLine");
    state.ColumnCount = 0;
    m_host.status().resetColumn();
    state.PreviewMode = true;

    QString error;
    link.setSettings(kFixedSettings);
    if (link.isOpen()) {
        link.close();
    } else if (link.open(&error)) {
        m_watcher->remember(link.device(),
                            link.portMapped(link.portNumber()) ? link.device() : QString());
    } else {
        m_host.dialogs().warn(error);
    }

    showPortState(link.isOpen());
    TerminalText& terminal = m_host.terminal();
    if (link.isOpen()) {
        terminal.setLineText("Terminal Ready ");
        link.send("\r");
        terminal.setFocus();
        terminal.moveCaretToEnd();
    } else {
        terminal.setLineText("Terminal Closed ");
    }
}

void PortCommands::showPortState(bool open)
{
    StatusPanel& status = m_host.status();
    TerminalText& terminal = m_host.terminal();
    if (open) {
        status.lblCport1->setText("Com: " + vbStr(qint64(m_host.link().portNumber())));
        status.imgPort1->showPicture(1);
        status.lblStatus1->setText(m_host.link().settings());
        m_lblOpen1->setText(kClosePortCaption);
        StartClock();
        m_lblProps->setEnabled(false);
        // Only the box writes into the window while the line is open.
        terminal.setReadOnly(true);
        terminal.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    } else {
        status.lblCport1->setText("Com: Unknown");
        status.imgPort1->showPicture(2);
        status.lblStatus1->setText("Closed 1");
        m_lblOpen1->setText(kOpenPortCaption);
        StopClock();
        m_lblProps->setEnabled(true);
        terminal.setReadOnly(false);
    }
}

void PortCommands::onDeviceLost(const QString& message)
{
    // Whatever is being sent stops with the line; what the window shows is
    // kept so the user can still read it.
    m_host.state().StopSend = true;
    showPortState(false);
    m_host.terminal().appendLineText("\r\nTerminal Closed ", false);
    if (!reopenWanted()) {
        m_host.dialogs().warn(message);
        return;
    }
    // Watching starts before the message: the device may come back while
    // the message is still shown.
    m_watcher->watch();
    m_host.dialogs().warn(message + "\nThe port opens again by itself as soon as the device is back.");
}

bool PortCommands::reopenWanted() const
{
    return m_host.settings().get(setting_keys::ReopenPort) == QLatin1String("1");
}

void PortCommands::reopenReturnedPort(const QString& device)
{
    SerialLink& link = m_host.link();
    if (link.isOpen() || !reopenWanted()) {
        m_watcher->stop();
        return;
    }
    QString error;
    if (!link.openDevice(device, &error)) {
        // Often only not ready yet (the system still setting permissions):
        // the next check tries again; the status line says why meanwhile.
        m_host.status().setAction("Port not reopened yet: " + error);
        return;
    }
    m_host.state().ColumnCount = 0;
    m_host.status().resetColumn();
    showPortState(true);
    // What the window showed stays; the line is ready again below it.
    m_host.terminal().appendLineText("\r\nTerminal Ready ", false);
    m_host.status().setAction("Port reopened: Com" + vbStr(qint64(link.portNumber())) + " (" + device + ")");
}

void PortCommands::lblProps_Click()
{
    SerialLink& link = m_host.link();
    if (link.isOpen())
        return;
    frmProperties properties(link, m_host.settings(), m_host.dialogs(), m_host.window());
    properties.LoadPropertySettings(1);
    // The port label changes only when the settings were saved.
    if (properties.exec() == QDialog::Accepted)
        m_host.status().lblCport1->setText("Com: " + vbStr(qint64(link.portNumber())));
}

void PortCommands::StartClock()
{
    StartTime = m_host.state().now();
    Timer1->start();
}

void PortCommands::StopClock()
{
    Timer1->stop();
    m_host.status().lblElapsed->setText("Off Line");
}
