#include "link/LineCommands.h"

#include "appearance/SoundEffects.h"
#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/DateText.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "link/Guards.h"
#include "link/LineSequences.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"

namespace {

const QChar BEL(7), VT(11), FF(12), CR(13), SO(14), SI(15), DC1(17), DC4(20), ETB(23), ESC(27);

} // namespace

const QString LineCommands::kFoxText = QStringLiteral("the quick brown fox jumps over the lazy dog 1234567890 ()");
const QString LineCommands::kRyText = QStringLiteral("ry").repeated(35);

LineCommands::LineCommands(CommandHost& host, TextSender sendTxt, TextDisplay showData, QObject* parent)
    : QObject(parent), m_host(host), m_sendTxt(std::move(sendTxt)), m_showData(std::move(showData))
{
    const QString group = "Line";
    connect(host.addCommand(group, "LblCall", "Call", "Initiate Call"), &CommandLabel::clicked, this,
            &LineCommands::LblCall_Click);
    connect(host.addCommand(group, "LblCloseConnection", "Close", "Closes Call"), &CommandLabel::clicked,
            this, &LineCommands::LblCloseConnection_Click);
    addSequence("lblGoAhead", "Go Ahead", "Go Ahead", "+?", "Go Ahead",
                [this] { m_host.state().ConnectionActive = false; });
    addSequence("lblIAm", "I am", "I am", kHereIsSequence, "Sending Here Is");
    addSequence("lblWerda", "Who Is", "Who Is", QString(CR) + ETB, "Sending whoIs");
    addSequence("lblBell", "Bell", "Rings Bell", QString(BEL), "Ringing the bell");
    addSequence("lblZi", "1...", "Change to Figures", QString(SI), " Sending Figures  1... ");
    addSequence("lblBu", "A...", "Change to Characters", QString(SO), " Sending Letters  A... ");
    addSequence("lblCR", "CR", "Send Cariage Return only", QString(ESC) + "M", "Sending Carriage Return only", [this] {
        // The counter starts again; the ruler stays where it is.
        m_host.state().ColumnCount = 0;
        m_host.status().setCounterColor(StatusPanel::green());
        m_host.status().showCount(0);
    });
    addSequence("lblLineFeed", "LF", "Send Line Feed only", QString(ESC) + "J", "Sending Line feed only");
    addSequence("lblLoKal", "Local", "Sets Terminal in Local Mode", QString(FF), "Local Mode Enabled",
                [this] { m_host.sounds().playEvenWhenMuted("/soundstart.wav"); });
    addSequence("LblMsg", "Messages", "Shows recorded messages", QString(DC1), "Reading Quillnet Messages");
    addSequence("lblNexMessage", "Next Msg", "Next recorded messages", "n", "Next Quillnet Message");
    addSequence("lblCancelMsg", "Cancel Msgs", "Cancell recorded messages", "l", "Cancel Quillnet Messages");
    addSequence("lblStatus", "Status", "Check Hardware Status", QString(DC4), "Reading Quillnet Status");
    addSequence("lblKonfig", "Configuration", "Opens the configuration dialog of the TW39 / Speziell.", QString(VT),
                "Configuration");
    connect(host.addCommand(group, "lblTimeStamp", "Time Stamp", "Date & Time Stamp"), &CommandLabel::clicked,
            this, &LineCommands::lblTimeStamp_Click);
    connect(host.addCommand(group, "LblFox", "Fox", "Send The Quick Brown Fox ...."), &CommandLabel::clicked,
            this, [this] { sendTestText(kFoxText); });
    connect(host.addCommand(group, "LblRY", "RYRY", "Send string RYRYRYR"), &CommandLabel::clicked, this,
            [this] { sendTestText(kRyText); });
}

CommandLabel* LineCommands::addSequence(const QString& name, const QString& caption, const QString& toolTip,
                                        const QString& sequence, const QString& action,
                                        std::function<void()> extra)
{
    CommandLabel* command = m_host.addCommand("Line", name, caption, toolTip);
    connect(command, &CommandLabel::clicked, this, [this, sequence, action, extra] {
        if (!m_host.link().isOpen())
            return;
        m_host.link().send(sequence);
        m_host.status().setAction(action);
        if (extra)
            extra();
    });
    return command;
}

void LineCommands::LblCall_Click()
{
    m_host.desk().hidePanel("frameHeadLine");
    if (!m_host.link().isOpen())
        return;
    m_host.sounds().play("/soundstart.wav", SoundEffects::Wait::ToTheEnd);
    m_host.link().send(kDialSequence);
    m_host.status().setAction("Dial Quillnet Number please");
    m_showData(QStringLiteral("Dial Quillnet Number please") + CR);
    m_host.state().ConnectionActive = true;
}

void LineCommands::LblCloseConnection_Click()
{
    if (!m_host.link().isOpen())
        return;
    AppState& state = m_host.state();
    m_host.sounds().play("/soundstop.wav", SoundEffects::Wait::ToTheEnd);
    m_host.link().send(kCloseSequence);
    m_host.status().setAction("Closing Quillnet Connection");
    state.ConnectionActive = false;
    emit connectionClosed();
    state.RSendPending = false;
    state.RSendListSent = false;
    state.PreviewMode = true;
}

void LineCommands::lblTimeStamp_Click()
{
    const QDateTime now = m_host.state().now();
    const QString date = formatDateText(now, m_host.state().DateFormat);
    const QString time = formatDateText(now, "hh:nn:ss");
    m_host.status().showDateTime(date, time);
    if (!m_host.link().isOpen())
        return;
    m_sendTxt("local date: " + date + "   local time:  " + time + CR);
    m_sendTxt(QString(CR));
    focusTerminal();
    m_host.status().setAction("Sending Time Stamp");
}

void LineCommands::sendTestText(const QString& text)
{
    if (!connectionGuard(m_host))
        return;
    m_sendTxt(text + CR);
    m_sendTxt(QString(CR));
    focusTerminal();
}

void LineCommands::CallNumber(const QString& CallNr, const QString& CallNm)
{
    if (!m_host.link().isOpen())
        return;
    m_host.link().send(kDialSequence);
    m_showData(CallNm + CR);
    m_host.link().send(dialledNumber(CallNr, m_host.state().DialPrefix));
    m_host.status().setAction("Dialing " + CallNr + " " + CallNm);
    m_host.state().ConnectionActive = true;
}

void LineCommands::focusTerminal()
{
    m_host.terminal().setFocus();
    m_host.terminal().moveCaretToEnd();
}
