#include "app/terminal.h"

#include "app/CommandKeys.h"
#include "app/CommandLine.h"
#include "app/CommandStrip.h"
#include "app/Config.h"
#include "app/TypingFocus.h"
#include "appearance/Appearance.h"
#include "appearance/SoundCommands.h"
#include "appearance/SoundEffects.h"
#include "archive/ArchivePart.h"
#include "core/AppState.h"
#include "core/DateText.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "core/Widgets.h"
#include "directory/PhonebookCommands.h"
#include "editor/EditorPart.h"
#include "journal/JournalPart.h"
#include "link/LineCommands.h"
#include "link/PortCommands.h"
#include "link/PortSettings.h"
#include "link/ReceivePath.h"
#include "link/TerminalText.h"
#include "link/TypedKeys.h"
#include "lists/BroadcastSending.h"
#include "lists/SubscriberLists.h"
#include "prepared/EditorLaunchers.h"
#include "prepared/HeadlineEditor.h"
#include "prepared/LocalNumbersPart.h"
#include "prepared/PresetPhrases.h"
#include "puncher/PunchPanel.h"
#include "puncher/PuncherPart.h"
#include "puncher/TapeExportPart.h"
#include "text/FileTransmission.h"
#include "text/TextTransmissions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString kBuildDate = QStringLiteral("24/08/2026");

// The groups of the command strip in their order: the port and the line
// first, then sending and the rest; a group not named here follows them.
const QStringList kStripOrder = {"Port", "Line", "Send", "Tape", "Texts", "Phonebook",
                                 "Broadcast", "Look", "Sound", "Help"};

// What a window manager's title bar takes above the window, at most.
constexpr int kTitleBarRoom = 40;

} // namespace

frmTerminal::frmTerminal(AppState& state, Dialogs& dialogs, SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_dialogs(dialogs),
      m_settings(settings),
      m_status(this),
      m_link(settings, this),
      m_sounds(new SoundEffects(state, this))
{
    setObjectName("frmTerminal");
    // Carets stand still: a blinking one wakes the program twice a second
    // while nothing else happens.
    QApplication::setCursorFlashTime(0);
    buildWindow();
    buildParts();
    new TypingFocus(this, m_desk, txtTerm);

    Timer3.setObjectName("Timer3");
    Timer3.setInterval(1000);
    // On whole seconds, like Timer1 of the elapsed time: both tick in one
    // wake-up of the program.
    Timer3.setTimerType(Qt::VeryCoarseTimer);
    connect(&Timer3, &QTimer::timeout, this, &frmTerminal::Timer3_Timer);
    Timer3.start();
}

frmTerminal::~frmTerminal() = default;

void frmTerminal::buildWindow()
{
    // Close-set, so that a window of 900 x 600 keeps room for the desk.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 5, 6, 3);
    outer->setSpacing(4);

    // The desk takes every pixel the window gains; the rows below keep
    // their height for the window's width.
    m_desk = new Desk(this);
    outer->addWidget(m_desk, 1);
    txtTerm = new TerminalText(m_desk);
    m_status.Line1->setParent(m_desk);

    auto* statusRow = new QHBoxLayout;
    m_status.addTo(statusRow);
    outer->addLayout(statusRow);

    // The command strip: one group box per kind of command, in their
    // order whichever part adds to them first; each shows once it holds a
    // command.
    m_strip = new CommandStrip(kStripOrder, this);
    outer->addWidget(m_strip);
    // The keyboard reaches the commands from the terminal window and back.
    connect(new QShortcut(commandkeys::stripKey(), this), &QShortcut::activated, m_strip,
            &CommandStrip::focusFirstCommand);
    connect(m_strip, &CommandStrip::leaveRequested, txtTerm, [this] { txtTerm->setFocus(Qt::ShortcutFocusReason); });

    auto* footer = new QHBoxLayout;
    lblVersion = new PlainLabel(this);
    lblVersion->setObjectName("lblVersion");
    Label15 = new PlainLabel(this);
    Label15->setObjectName("Label15");
    for (QLabel* label : {lblVersion, Label15}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
        label->setPalette(palette);
    }
    footer->addWidget(lblVersion);
    footer->addStretch(1);
    footer->addWidget(Label15);
    outer->addLayout(footer);
}

// The parts, in the order their commands stand, and the operations they
// hand each other: the receive path's ShowData, the text sender SendTxt, the
// dialler CallNumber and the favourites refresh.
void frmTerminal::buildParts()
{
    m_port = new PortCommands(*this, this);
    connect(addCommand("Port", "lblExit", "EXIT", "EXIT Program"), &CommandLabel::clicked, this,
            &frmTerminal::lblExit_Click);

    m_receive = new ReceivePath(*this, this);
    auto* journal = new JournalPart(*this, this);
    connect(m_receive, &ReceivePath::lineTextShown, journal, &JournalPart::recordShown);
    m_keys = std::make_unique<TypedKeys>(*this);
    m_texts = new TextTransmissions(*this, this);
    m_lineCommands = new LineCommands(*this, m_texts->textSender(),
                                      [this](const QString& text) { m_receive->ShowData(text); }, this);
    const Dialler callNumber = m_lineCommands->dialler();
    m_phonebook = new PhonebookCommands(*this, callNumber, this);
    const ListsRefresher refreshLists = m_phonebook->refresher();
    auto* editor = new EditorPart(*this, refreshLists, this);
    const EditorOpener openEditor = editor->opener();
    m_headlines = new HeadlineEditor(*this, refreshLists, this);
    new EditorLaunchers(*this, openEditor, "Texts", this);
    m_phrases = new PresetPhrases(*this, m_texts->textSender(), this);
    new LocalNumbersPart(*this, callNumber, refreshLists, this);
    m_broadcast = new BroadcastSending(*this, callNumber, m_texts->textSender(), this);
    new SubscriberLists(*this, callNumber, refreshLists, openEditor, this);
    auto* puncher = new PuncherPart(*this);
    new TapeExportPart(*this, [puncher] { return puncher->frmPunch->txtInput->text(); }, this);
    m_appearance = new Appearance(*this, this);
    new SoundCommands(*this);
    auto* archive = new ArchivePart(*this, [this](const QString& path) { m_texts->files().SendTextFile(path, 5); }, this);
    connect(m_receive, &ReceivePath::lineTextShown, archive, &ArchivePart::recordShown);

    connect(m_receive, &ReceivePath::klklRequested, m_texts, &TextTransmissions::SendKLKL);
    connect(m_receive, &ReceivePath::receiverListRequested, m_broadcast, &BroadcastSending::sendReceiverList);
    connect(m_lineCommands, &LineCommands::connectionClosed, m_broadcast, &BroadcastSending::connectionClosed);
    // "Send Headline" sends the headline the editor writes on its exit.
    m_texts->files().setBeforeHeadlineSend([this] { return m_headlines->lblExitHeadlineEditor_Click(); });
}

CommandLabel* frmTerminal::addCommand(const QString& group, const QString& name, const QString& caption,
                                      const QString& toolTip)
{
    CommandLabel* command = m_strip->addCommand(group, name, caption, toolTip);
    command->setShortcut(commandkeys::keyOf(name));
    return command;
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
    m_broadcast->showServiceNumbers();

    m_state.PreviewMode = true;
    m_status.imgPort1->showPicture(2);

    m_appearance->applyColours(colours::BlackOnWhite);
    txtTerm->setLineText(" open port before using the interface ");
    txtTerm->moveCaretToEnd();

    lblVersion->setText("Vornak telex terminal, version " + programVersion());
    Label15->setText(kBuildDate + " " + programVersion());
    centreOnScreen();
    setWindowTitle(plainWindowTitle(kAppTitle + "  " + m_state.StationId));

    m_appearance->restoreFont();

    QString error;
    if (!restorePortSettings(m_link, m_settings, &error)) {
        m_dialogs.warn(error);
        return;
    }

    m_status.resetRuler();
    m_phonebook->panel().hide();
    m_phrases->load();

    const CommandLineSwitches switches = parseCommandLine(commandLineWords);
    if (!switches.problem.isEmpty())
        m_dialogs.warn(switches.problem);
    m_appearance->applyCommandLine(switches.words);
}

void frmTerminal::centreOnScreen()
{
    const QMargins margins = layout()->contentsMargins();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    // The desk at the design's width, or as wide as a narrower screen lets
    // it be (the desk then shows the design scaled down).
    int width = deskgeometry::kDesignSize.width() + margins.left() + margins.right();
    if (screen)
        width = std::max(minimumSizeHint().width(), std::min(width, available.width()));
    m_strip->fitTo(width - margins.left() - margins.right());
    layout()->activate();
    int height = sizeHint().height();
    if (screen)
        height = std::max(minimumHeight(), std::min(height, available.height() - kTitleBarRoom));
    resize(width, height);
    // A window not shown yet gets no resize event: its bands take their
    // places for that size now.
    layout()->invalidate();
    layout()->activate();
    if (!screen)
        return;
    // A screen smaller than the window shows its top left corner.
    move(available.left() + std::max(0, (available.width() - frameGeometry().width()) / 2),
         available.top() + std::max(0, (available.height() - frameGeometry().height()) / 2));
}

void frmTerminal::Timer3_Timer()
{
    const QDateTime now = m_state.now();
    m_appearance->DrawClock(now);
    m_status.showDateTime(formatDateText(now, m_state.DateFormat), formatDateText(now, "hh:nn:ss"));
    if (m_link.bytesAvailable() == 0)
        m_status.setRxLit(false);
    if (m_link.bytesToWrite() == 0)
        m_status.setTxLit(false);
}

void frmTerminal::lblExit_Click()
{
    m_settings.save(setting_keys::HeadlineOption, QString::number(m_state.HeadlineSelect));
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
