#include "link/LineCommands.h"

#include "core/AppState.h"
#include "core/DateText.h"
#include "link/Guards.h"
#include "core/StatusPanel.h"
#include "core/VbText.h"
#include "app/terminal.h"
#include "appearance/SoundEffects.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"

namespace {

const QChar SOH(1), BEL(7), TAB(9), VT(11), FF(12), CR(13), SO(14), SI(15), DC1(17), DC3(19), DC4(20),
    ETB(23), ESC(27);

// Numbers above this one are network numbers and go out behind the prefix.
constexpr double kHighestLocalNumber = 85;

} // namespace

const QString LineCommands::kFoxText = QStringLiteral("the quick brown fox jumps over the lazy dog 1234567890 ()");
const QString LineCommands::kRyText = QStringLiteral("ry").repeated(35);

LineCommands::LineCommands(TerminalContext& context, frmTerminal& terminal, SoundEffects& sounds)
    : QObject(&terminal), m_context(context), m_terminal(terminal), m_sounds(sounds)
{
    const QString group = "Line";
    connect(terminal.addCommand(group, "LblCall", "Call", "Initiate Call"), &CommandLabel::clicked, this,
            &LineCommands::LblCall_Click);
    connect(terminal.addCommand(group, "LblCloseConnection", "Close", "Closes Call"), &CommandLabel::clicked,
            this, &LineCommands::LblCloseConnection_Click);
    addSequence("lblGoAhead", "Go Ahead", "Go Ahead", "+?", "Go Ahead",
                [this] { m_context.state.ConnectionActive = false; });
    addSequence("lblIAm", "I am", "I am", QString(CR) + TAB, "Sending Here Is");
    addSequence("lblWerda", "Who Is", "Who Is", QString(CR) + ETB, "Sending whoIs");
    addSequence("lblBell", "Bell", "Rings Bell", QString(BEL), "Ringing the bell");
    addSequence("lblZi", "1...", "Change to Figures", QString(SI), " Sending Figures  1... ");
    addSequence("lblBu", "A...", "Change to Characters", QString(SO), " Sending Letters  A... ");
    addSequence("lblCR", "CR", "Send Cariage Return only", QString(ESC) + "M", "Sending Carriage Return only", [this] {
        // The counter starts again; the ruler stays where it is.
        m_context.state.ColumnCount = 0;
        m_context.status.setCounterColor(StatusPanel::green());
        m_context.status.showCount(0);
    });
    addSequence("lblLineFeed", "LF", "Send Line Feed only", QString(ESC) + "J", "Sending Line feed only");
    addSequence("lblLoKal", "Local", "Sets Terminal in Local Mode", QString(FF), "Local Mode Enabled",
                [this] { m_sounds.playEvenWhenMuted("/soundstart.wav"); });
    addSequence("LblMsg", "Messages", "Shows recorded messages", QString(DC1), "Reading Quillnet Messages");
    addSequence("lblNexMessage", "Next Msg", "Next recorded messages", "n", "Next Quillnet Message");
    addSequence("lblCancelMsg", "Cancel Msgs", "Cancell recorded messages", "l", "Cancel Quillnet Messages");
    addSequence("lblStatus", "Status", "Check Hardware Status", QString(DC4), "Reading Quillnet Status");
    addSequence("lblKonfig", "Configuration", "Opens the configuration dialog of the TW39 / Speziell.", QString(VT),
                "Configuration");
    connect(terminal.addCommand(group, "lblTimeStamp", "Time Stamp", "Date & Time Stamp"), &CommandLabel::clicked,
            this, &LineCommands::lblTimeStamp_Click);
    connect(terminal.addCommand(group, "LblFox", "Fox", "Send The Quick Brown Fox ...."), &CommandLabel::clicked,
            this, [this] { sendTestText(kFoxText); });
    connect(terminal.addCommand(group, "LblRY", "RYRY", "Send string RYRYRYR"), &CommandLabel::clicked, this,
            [this] { sendTestText(kRyText); });
}

CommandLabel* LineCommands::addSequence(const QString& name, const QString& caption, const QString& toolTip,
                                        const QString& sequence, const QString& action,
                                        std::function<void()> extra)
{
    CommandLabel* command = m_terminal.addCommand("Line", name, caption, toolTip);
    connect(command, &CommandLabel::clicked, this, [this, sequence, action, extra] {
        if (!m_context.link.isOpen())
            return;
        m_context.link.send(sequence);
        m_context.status.setAction(action);
        if (extra)
            extra();
    });
    return command;
}

void LineCommands::LblCall_Click()
{
    m_terminal.frameHeadLine->hide();
    if (!m_context.link.isOpen())
        return;
    m_sounds.play("/soundstart.wav", SoundEffects::Wait::ToTheEnd);
    m_context.link.send(QString(SOH));
    m_context.status.setAction("Dial Quillnet Number please");
    m_terminal.ShowData(QStringLiteral("Dial Quillnet Number please") + CR);
    m_context.state.ConnectionActive = true;
}

void LineCommands::LblCloseConnection_Click()
{
    if (!m_context.link.isOpen())
        return;
    AppState& state = m_context.state;
    m_sounds.play("/soundstop.wav", SoundEffects::Wait::ToTheEnd);
    m_context.link.send(QString(DC3));
    m_context.status.setAction("Closing Quillnet Connection");
    state.ConnectionActive = false;
    m_terminal.lblRSend_1->setEnabled(true);
    m_terminal.lblRsend_2->setEnabled(true);
    state.RSendPending = false;
    state.RSendListSent = false;
    state.PreviewMode = true;
}

void LineCommands::lblTimeStamp_Click()
{
    const QDateTime now = m_context.state.now();
    const QString date = formatDateText(now, m_context.state.DateFormat);
    const QString time = formatDateText(now, "hh:nn:ss");
    m_terminal.lblDate->setText(date);
    m_terminal.lblTempo->setText(time);
    if (!m_context.link.isOpen())
        return;
    m_terminal.SendTxt("local date: " + date + "   local time:  " + time + CR);
    m_terminal.SendTxt(QString(CR));
    m_terminal.txtTerm->setFocus();
    m_terminal.txtTerm->moveCaretToEnd();
    m_context.status.setAction("Sending Time Stamp");
}

void LineCommands::sendTestText(const QString& text)
{
    if (!connectionGuard(m_context))
        return;
    m_terminal.SendTxt(text + CR);
    m_terminal.SendTxt(QString(CR));
    m_terminal.txtTerm->setFocus();
    m_terminal.txtTerm->moveCaretToEnd();
}

void LineCommands::CallNumber(const QString& CallNr, const QString& CallNm)
{
    if (!m_context.link.isOpen())
        return;
    const double value = leadingNumber(CallNr);
    m_context.link.send(QString(SOH));
    m_terminal.ShowData(CallNm + CR);
    if (value > kHighestLocalNumber)
        m_context.link.send(vbStr(qint64(m_context.state.DialPrefix)) + CallNr);
    else
        m_context.link.send(vbStr(value));
    m_context.status.setAction("Dialing " + CallNr + " " + CallNm);
    m_context.state.ConnectionActive = true;
}
