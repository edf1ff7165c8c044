#include "journal/JournalPart.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "journal/TrafficJournal.h"
#include "link/SerialLink.h"

namespace {
const QColor kCaptionOn(0x00FF00);
const QColor kCaptionOff(0xFFFFFF);
} // namespace

JournalPart::JournalPart(CommandHost& host, QObject* parent)
    : QObject(parent),
      m_host(host),
      m_journal(new TrafficJournal(host.state().folder.file("\\journal"),
                                   [&state = host.state()] { return state.now(); }, this))
{
    lblJournal = host.addCommand("Port", "lblJournal", "Journal",
                                 "Keeps a journal of everything sent and received (green: on)");
    connect(lblJournal, &CommandLabel::clicked, this, &JournalPart::lblJournal_Click);
    connect(&host.link(), &SerialLink::sent, m_journal, &TrafficJournal::recordSent);
    // Told from the event loop: a write fails in the middle of the receive
    // path or a send, which carry on first.
    connect(m_journal, &TrafficJournal::failed, this, &JournalPart::onFailed, Qt::QueuedConnection);

    showState(false);
    if (host.settings().get(setting_keys::JournalOn) == QLatin1String("1"))
        switchOn();
}

JournalPart::~JournalPart()
{
    // The lines in progress are written before the journal goes.
    m_journal->stop();
}

void JournalPart::lblJournal_Click()
{
    if (m_journal->isOn())
        switchOff();
    else
        switchOn();
}

void JournalPart::recordShown(const QString& text, bool replacedLast)
{
    m_journal->recordReceived(text, replacedLast);
}

void JournalPart::switchOn()
{
    QString message;
    if (!m_journal->start(&message)) {
        onFailed(message);
        return;
    }
    m_host.settings().save(setting_keys::JournalOn, "1");
    showState(true);
    m_host.status().setAction("Journal On");
}

void JournalPart::switchOff()
{
    m_journal->stop();
    m_host.settings().save(setting_keys::JournalOn, "0");
    showState(false);
    m_host.status().setAction("Journal Off");
}

void JournalPart::showState(bool on)
{
    lblJournal->setCaptionColor(on ? kCaptionOn : kCaptionOff);
    lblJournal->setProperty("checked", on);
}

void JournalPart::onFailed(const QString& message)
{
    // Off for good, until the user switches it on again: the next start
    // would meet the same problem.
    m_host.settings().save(setting_keys::JournalOn, "0");
    showState(false);
    m_host.status().setAction("Journal Off");
    m_host.dialogs().warn(message);
}
