#include "app/terminal.h"

#include "core/AppState.h"
#include "app/CommandLine.h"
#include "app/Config.h"
#include "core/DateText.h"
#include "core/Dialogs.h"
#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "core/VbText.h"
#include "appearance/AnalogClock.h"
#include "appearance/SoundEffects.h"
#include "link/LineCommands.h"
#include "lists/BroadcastSending.h"
#include "link/ReceivePath.h"
#include "directory/DirectoryPart.h"
#include "link/TerminalText.h"
#include "link/frmProperties.h"
#include "prepared/HeadlineEditor.h"
#include "text/KlklAnswer.h"
#include "text/TextFileSender.h"
#include "text/TextPart.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kVersion = QStringLiteral("10.3.13");
const QString kBuildDate = QStringLiteral("24/08/2026");
const QString kOpenPortCaption = QStringLiteral("Open Port ");
const QString kClosePortCaption = QStringLiteral("Close Port");
const QString kFixedSettings = QStringLiteral("9600,n,8,1");
constexpr int kDeskWidth = 1200;
constexpr int kDeskHeight = 372;

// The command strip has two rows of groups; the line commands fill the
// first row beside the port commands, everything else the second.
int stripRow(const QString& group)
{
    return group == "Port" || group == "Line" ? 0 : 1;
}

// How many commands stand side by side in a group.
int groupColumns(const QString& group)
{
    return group == "Line" ? 8 : group == "Port" ? 2 : 4;
}

} // namespace

frmTerminal::frmTerminal(AppState& state, Dialogs& dialogs, SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      status(this),
      m_state(state),
      m_dialogs(dialogs),
      m_settings(settings),
      m_link(settings, this),
      m_context{state, dialogs, m_link, settings, status},
      m_sounds(new SoundEffects(state, this))
{
    setObjectName("frmTerminal");
    buildWindow();
    m_headlineEditor = std::make_unique<HeadlineEditor>(m_context, *this);

    m_receive = new ReceivePath(m_context, *txtTerm, *frameHeadLine, *m_sounds, this);
    txtTerm->setKeyHandler([this](int code) { return m_receive->keyPressed(code); });
    connect(&m_link, &SerialLink::received, this,
            [this](const QByteArray& bytes) { m_receive->onCommEvent(SerialLink::Receive, bytes); });
    connect(&m_link, &SerialLink::transmitted, this, [this] { m_receive->onCommEvent(SerialLink::Transmit); });
    connect(&m_link, &SerialLink::lineEvent, this, [this](int code) { m_receive->onCommEvent(code); });
    connect(&m_link, &SerialLink::errorEvent, this, [this](int code) { m_receive->onCommEvent(code); });
    connect(addCommand("Line", "lblClear", "Clear Text", "Clears text window"), &CommandLabel::clicked,
            m_receive, &ReceivePath::lblClear_Click);
    connect(addCommand("Line", "lblLogbook", "Logbook", "Opens the Logbook"), &CommandLabel::clicked,
            m_receive, &ReceivePath::lblLogbook_Click);

    m_lineCommands = new LineCommands(m_context, *this, *m_sounds);

    Timer3.setObjectName("Timer3");
    Timer3.setInterval(1000);
    connect(&Timer3, &QTimer::timeout, this, &frmTerminal::Timer3_Timer);
    Timer3.start();
    m_directory = std::make_unique<DirectoryPart>(
        m_context, *this, [this](const QString& number, const QString& name) { CallNumber(number, name); });
    m_headlineEditor->setFavouritesRefresh([this] { lblRefresh_Click(); });

    Timer1.setObjectName("Timer1");
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        const qint64 seconds = std::max<qint64>(0, m_startTime.secsTo(m_state.now())) % 86400;
        const QDateTime elapsed(QDate(2000, 1, 1), QTime(0, 0).addSecs(int(seconds)));
        lblElapsed->setText(formatDateText(elapsed, "hh:nn:ss") + " ");
    });

    connect(&m_link, &SerialLink::deviceLost, this, &frmTerminal::onDeviceLost);
    m_text = std::make_unique<TextPart>(m_context, *this);
    m_receive->klklAnswer = [this] { SendKLKL(); };
    m_broadcast = new BroadcastSending(m_context, *this);
    setBeforeHeadlineSend([this] { return lblExitHeadlineEditor_Click(); });
}

frmTerminal::~frmTerminal() = default;

CommandLabel* frmTerminal::addCommand(const QString& group, const QString& name, const QString& caption,
                                      const QString& toolTip)
{
    QGroupBox*& box = m_groups[group];
    if (!box) {
        box = new QGroupBox(group, m_strip);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(3);
        grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        auto* row = static_cast<QBoxLayout*>(m_strip->layout()->itemAt(stripRow(group))->layout());
        row->insertWidget(row->count() - 1, box);
    }
    auto* grid = static_cast<QGridLayout*>(box->layout());
    auto* label = new CommandLabel(name, caption, toolTip, box);
    const int index = grid->count();
    const int columns = groupColumns(group);
    grid->addWidget(label, index / columns, index % columns);
    return label;
}

void frmTerminal::buildWindow()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    // The desk: the skin picture with the terminal window placed on it in
    // the twips of the window design; panels open over it.
    desk = new QWidget(this);
    desk->setObjectName("desk");
    desk->setFixedSize(kDeskWidth, kDeskHeight);
    desk->setAutoFillBackground(true);
    outer->addWidget(desk);

    txtTerm = new TerminalText(desk);
    status.Line1->setParent(desk);

    frameNumbers = new QWidget(desk);
    frameNumbers->setObjectName("frameNumbers");
    frameNumbers->hide();
    frameHeadLine = new QWidget(desk);
    frameHeadLine->setObjectName("frameHeadLine");
    frameHeadLine->hide();
    Shape1 = new AnalogClock(desk);

    // The status row.
    auto* statusRow = new QHBoxLayout;
    imgPort1 = new PictureLamp("imgPort1", PictureLamp::PortPlug, "Port state", this);
    lblCport1 = new QLabel("Com: Unknown", this);
    lblCport1->setObjectName("lblCport1");
    lblStatus1 = new QLabel("Port Settings", this);
    lblStatus1->setObjectName("lblStatus1");
    lblElapsed = new QLabel("Off Line", this);
    lblElapsed->setObjectName("lblElapsed");
    lblElapsed->setToolTip("Elapsed time after connection");
    statusRow->addWidget(imgPort1);
    statusRow->addWidget(lblCport1);
    statusRow->addWidget(lblStatus1);
    statusRow->addSpacing(12);
    statusRow->addWidget(status.lblAction, 1);
    statusRow->addWidget(status.lblMaxChar);
    statusRow->addWidget(lblElapsed);
    lblDate = new QLabel(this);
    lblDate->setObjectName("lblDate");
    lblTempo = new QLabel(this);
    lblTempo->setObjectName("lblTempo");
    statusRow->addWidget(lblDate);
    statusRow->addWidget(lblTempo);
    statusRow->addWidget(status.imgRX);
    statusRow->addWidget(status.imgTX);
    outer->addLayout(statusRow);

    // The command strip: one group box per kind of command.
    m_strip = new QWidget(this);
    auto* stripLayout = new QVBoxLayout(m_strip);
    for (int row = 0; row < 2; ++row) {
        auto* rowLayout = new QHBoxLayout;
        rowLayout->addStretch(1);
        stripLayout->addLayout(rowLayout);
    }
    stripLayout->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_strip);

    lblOpen1 = addCommand("Port", "lblOpen1", kOpenPortCaption, "Opens pre defined comm port");
    lblProps = addCommand("Port", "lblProps", "Port Settings", "Shows ComPort Settings Form");
    lblExit = addCommand("Port", "lblExit", "EXIT", "EXIT Program");
    connect(lblOpen1, &CommandLabel::clicked, this, &frmTerminal::lblOpen1_Click);
    connect(lblProps, &CommandLabel::clicked, this, &frmTerminal::lblProps_Click);
    connect(lblExit, &CommandLabel::clicked, this, &frmTerminal::lblExit_Click);

    lblPaste = addCommand("Send", "lblPaste", "Paste", "Copy and Paste text into a live connection.");
    lblSendText1 = addCommand("Send", "lblSendText1", "Send Text File", "Send a text file");
    lblSendHeader = addCommand("Send", "lblSendHeader", "Send RS List", "Send the RS Receivers list");
    lblSendHeadlines = addCommand("Send", "lblSendHeadlines", "Send Headline", "Send one of the selected Headlines");
    lblSendMessage = addCommand("Send", "lblSendMessage", "Send Message", "Send a pre-defined Message");
    // The puncher arrives with the paper-tape mode; until then its command
    // only follows the port state and stays out of sight.
    lblPuncher = new CommandLabel("lblPuncher", "Puncher", "Paper tape puncher mode", this);
    lblPuncher->hide();

    lblRSend_1 = addCommand("Broadcast", "lblRSend_1", QString(), "11151 Rundsenden Server Call automatic dialing");
    lblRsend_2 = addCommand("Broadcast", "lblRsend_2", QString(), "11162 Rundsenden Server Call automatic dialing");

    auto colour = [this](const QString& name, void (frmTerminal::*slot)()) {
        CommandLabel* label = addCommand("Look", name, QString(), "Change Fore & Back color of the Text Window");
        connect(label, &CommandLabel::clicked, this, slot);
        return label;
    };
    colour("lbGnBk", &frmTerminal::lbGnBk_Click)->setStyleSheet("QLabel { background: black; color: #00ff00; }");
    colour("lblBlWt", &frmTerminal::lblBlWt_Click)->setStyleSheet("QLabel { background: white; color: cyan; }");
    colour("lblRdBl", &frmTerminal::lblRdBl_Click)->setStyleSheet("QLabel { background: black; color: red; }");
    colour("lblYlBl", &frmTerminal::lblYlBl_Click)->setStyleSheet("QLabel { background: blue; color: white; }");
    colour("lblBkWt", &frmTerminal::lblBkWt_Click)->setStyleSheet("QLabel { background: white; color: navy; }");
    for (const QString name : {"lbGnBk", "lblBlWt", "lblRdBl", "lblYlBl", "lblBkWt"}) {
        auto* swatch = findChild<CommandLabel*>(name);
        swatch->setText("Aa");
        swatch->setFixedWidth(32);
    }
    connect(addCommand("Look", "lblStandard", "Standard", "Standard skin"), &CommandLabel::clicked, this,
            &frmTerminal::lblStandard_Click);
    connect(addCommand("Look", "lblSteam", "Steampunk", "Steampunk skin"), &CommandLabel::clicked, this,
            &frmTerminal::lblSteam_Click);

    auto* footer = new QHBoxLayout;
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    Label15 = new QLabel(this);
    Label15->setObjectName("Label15");
    footer->addWidget(lblVersion);
    footer->addStretch(1);
    footer->addWidget(Label15);
    outer->addLayout(footer);

    applySkin(skins::Standard);
    // The send commands work only with the port open.
    for (CommandLabel* command : {lblSendText1, lblSendHeader, lblSendMessage, lblSendHeadlines, lblPaste, lblPuncher})
        command->setEnabled(false);
}

void frmTerminal::Form_Load(const QStringList& commandLineWords)
{
    m_state.ConnectionActive = false;
    m_state.SoundMuted = true;

    const QString configPath = m_state.folder.file("\\QuillnetUsb.cfg");
    ConfigFile config = readConfigFile(configPath);
    applyConfig(config, m_state, configPath);
    for (const QString& problem : std::as_const(config.problems))
        m_dialogs.warn(problem);
    lblRSend_1->setText(plainNumber(m_state.RSendService1));
    lblRsend_2->setText(plainNumber(m_state.RSendService2));

    m_state.PreviewMode = true;
    imgPort1->showPicture(2);

    applyColours({Qt::black, Qt::white});
    txtTerm->setLineText(" open port before using the interface ");
    txtTerm->moveCaretToEnd();

    lblVersion->setText("Vornak telex terminal, version " + kVersion);
    Label15->setText(kBuildDate + " " + kVersion);
    centreOnScreen();
    setWindowTitle(kAppTitle + "  " + m_state.StationId);

    const QString fontName = m_settings.get("Font", "FontName");
    if (!fontName.isEmpty()) {
        QFont font = txtTerm->font();
        font.setFamily(fontName);
        const double size = leadingNumber(m_settings.get("Font", "FontSize"));
        if (size > 0)
            font.setPointSizeF(size);
        txtTerm->setFont(font);
    }

    if (!restorePortSettings())
        return;

    status.resetRuler();
    frameNumbers->hide();

    const CommandLineSwitches switches = parseCommandLine(commandLineWords);
    if (!switches.problem.isEmpty())
        m_dialogs.warn(switches.problem);
    applyCommandLine(switches.words);
}

bool frmTerminal::restorePortSettings()
{
    QString error;
    const QString settings = m_settings.get("Properties", "Settings");
    if (!settings.isEmpty() && !m_link.setSettings(settings, &error)) {
        m_dialogs.warn(error);
        return false;
    }
    const QString port = m_settings.get("Properties", "CommPort");
    if (!port.isEmpty()) {
        bool ok = false;
        const int number = port.trimmed().toInt(&ok);
        if (!ok) {
            m_dialogs.warn(QStringLiteral("The stored port number \"%1\" is not a number.").arg(port));
            return false;
        }
        if (!m_link.setPortNumber(number, &error)) {
            m_dialogs.warn(error);
            return false;
        }
    }
    const QString handshaking = m_settings.get("Properties", "Handshaking");
    if (!handshaking.isEmpty() && !m_link.setHandshaking(int(leadingNumber(handshaking)), &error)) {
        m_dialogs.warn(error);
        return false;
    }
    return true;
}

void frmTerminal::applyCommandLine(const QStringList& words)
{
    for (const QString& word : words) {
        if (word == "/steam")
            lblSteam_Click();
        else if (word == "/Color1")
            lbGnBk_Click();
        else if (word == "/Color2")
            lblBlWt_Click();
        else if (word == "/Color3")
            lblRdBl_Click();
        else if (word == "/Color4")
            lblYlBl_Click();
    }
}

void frmTerminal::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    const QRect available = screen->availableGeometry();
    move(available.left() + (available.width() - width()) / 2,
         available.top() + (available.height() - height()) / 2);
}

void frmTerminal::SendToBox(const QString& text)
{
    m_link.send(text);
}

void frmTerminal::ShowData(const QString& text)
{
    m_receive->ShowData(text);
}

void frmTerminal::CallNumber(const QString& CallNr, const QString& CallNm)
{
    m_lineCommands->CallNumber(CallNr, CallNm);
}

void frmTerminal::Timer3_Timer()
{
    DrawClock();
    const QDateTime now = m_state.now();
    lblDate->setText(formatDateText(now, m_state.DateFormat));
    lblTempo->setText(formatDateText(now, "hh:nn:ss"));
    if (m_link.bytesAvailable() == 0)
        status.setRxLit(false);
    if (m_link.bytesToWrite() == 0)
        status.setTxLit(false);
}

void frmTerminal::SendTxt(const QString& text) { m_text->SendTxt(text); }
void frmTerminal::SendKLKL() { m_text->klkl().SendKLKL(); }
void frmTerminal::setBeforeHeadlineSend(std::function<bool()> hook)
{
    m_text->files().setBeforeHeadlineSend(std::move(hook));
}

void frmTerminal::lblOpen1_Click()
{
    frameHeadLine->hide();
    m_state.ColumnCount = 0;
    status.resetColumn();
    m_state.PreviewMode = true;

    QString error;
    m_link.setSettings(kFixedSettings);
    if (m_link.isOpen())
        m_link.close();
    else if (!m_link.open(&error))
        m_dialogs.warn(error);

    showPortState(m_link.isOpen());
    if (m_link.isOpen()) {
        txtTerm->setLineText("Terminal Ready ");
        SendToBox("\r");
        txtTerm->setFocus();
        txtTerm->moveCaretToEnd();
    } else {
        txtTerm->setLineText("Terminal Closed ");
    }
}

void frmTerminal::showPortState(bool open)
{
    for (CommandLabel* command : {lblSendText1, lblSendHeader, lblSendMessage, lblSendHeadlines})
        command->setEnabled(open);
    lblPaste->setEnabled(open);
    lblPuncher->setEnabled(open);
    if (open) {
        lblCport1->setText("Com: " + vbStr(qint64(m_link.portNumber())));
        imgPort1->showPicture(1);
        lblStatus1->setText(m_link.settings());
        lblOpen1->setText(kClosePortCaption);
        StartClock();
        lblProps->setEnabled(false);
        // Only the box writes into the window while the line is open.
        txtTerm->setReadOnly(true);
        txtTerm->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    } else {
        lblCport1->setText("Com: Unknown");
        imgPort1->showPicture(2);
        lblStatus1->setText("Closed 1");
        lblOpen1->setText(kOpenPortCaption);
        StopClock();
        lblProps->setEnabled(true);
        txtTerm->setReadOnly(false);
    }
}

void frmTerminal::onDeviceLost(const QString& message)
{
    // Whatever is being sent stops with the line; what the window shows is
    // kept so the user can still read it.
    m_state.StopSend = true;
    showPortState(false);
    txtTerm->appendLineText("\r\nTerminal Closed ", false);
    m_dialogs.warn(message);
}

void frmTerminal::lblProps_Click()
{
    if (m_link.isOpen())
        return;
    frmProperties properties(m_link, m_settings, m_dialogs, this);
    properties.LoadPropertySettings(1);
    properties.exec();
    lblCport1->setText("Com: " + vbStr(qint64(m_link.portNumber())));
}

void frmTerminal::StartClock()
{
    m_startTime = m_state.now();
    Timer1.start();
}

void frmTerminal::StopClock()
{
    Timer1.stop();
    lblElapsed->setText("Off Line");
}

void frmTerminal::lblExit_Click()
{
    m_settings.save("HeadlineSelect", "Option", QString::number(m_state.HeadlineSelect));
    if (unload()) {
        m_ended = true;
        close();
    }
}

bool frmTerminal::unload()
{
    if (m_link.isOpen()) {
        QDeadlineTimer deadline{std::chrono::seconds{m_drainSeconds}};
        while (m_link.isOpen() && m_link.bytesToWrite() > 0) {
            EventWait::forSignal(&m_link, &SerialLink::transmitted, 100);
            if (!deadline.hasExpired())
                continue;
            const Dialogs::Answer answer = m_dialogs.message("Data cannot be sent", Dialogs::Icon::Question,
                                                             Dialogs::Buttons::AbortRetryIgnore,
                                                             Dialogs::Answer::Abort);
            if (answer == Dialogs::Answer::Abort)
                return false;
            if (answer == Dialogs::Answer::Ignore)
                break;
            deadline.setRemainingTime(std::chrono::seconds(m_drainSeconds));
        }
    }
    m_link.close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    emit programEnded();
    return true;
}

void frmTerminal::closeEvent(QCloseEvent* event)
{
    if (m_ended || unload()) {
        m_ended = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void frmTerminal::applySkin(const Skin& skin)
{
    txtTerm->setGeometry(twips(skin.left), twips(skin.top), twips(skin.width), twips(skin.height));
    status.Line1->setGeometry(twips(skin.left), twips(skin.top + skin.height) + 3, twips(skin.width), 4);
    const QPixmap picture(m_state.folder.file(skin.picture));
    QPalette palette = desk->palette();
    if (!picture.isNull())
        palette.setBrush(QPalette::Window, QBrush(picture.scaled(desk->size())));
    else
        palette.setBrush(QPalette::Window, skin.paperShown ? QColor(0xD8D0C0) : QColor(0x5A4632));
    desk->setPalette(palette);
}

void frmTerminal::applyColours(const ColourPair& colours)
{
    QPalette palette = txtTerm->palette();
    palette.setColor(QPalette::Text, colours.text);
    palette.setColor(QPalette::Base, colours.background);
    txtTerm->setPalette(palette);
}

void frmTerminal::lblRefresh_Click() { m_directory->lblRefresh_Click(); }
void frmTerminal::lblStandard_Click() { applySkin(skins::Standard); }
void frmTerminal::lblSteam_Click() { applySkin(skins::Steampunk); }
void frmTerminal::lbGnBk_Click() { applyColours(colours::GreenOnBlack); }
void frmTerminal::lblBlWt_Click() { applyColours(colours::CyanOnWhite); }
void frmTerminal::lblRdBl_Click() { applyColours(colours::RedOnBlack); }
void frmTerminal::lblYlBl_Click() { applyColours(colours::WhiteOnBlue); }
void frmTerminal::lblBkWt_Click() { applyColours(colours::NavyOnWhite); }

void frmTerminal::lblHeadlineEditor_Click() { m_headlineEditor->lblHeadlineEditor_Click(); }
bool frmTerminal::lblExitHeadlineEditor_Click() { return m_headlineEditor->lblExitHeadlineEditor_Click(); }
void frmTerminal::DrawClock() { Shape1->DrawClock(m_state.now()); }
