#include "puncher/PuncherPart.h"

#include "app/CommandHost.h"
#include "core/AppState.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "link/SerialLink.h"
#include "puncher/Lettering.h"
#include "puncher/PunchPanel.h"
#include "puncher/PunchTape.h"
#include "puncher/TapeGlyphs.h"
#include "text/Pause.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <optional>

namespace {

// Where the frame waits from start-up on, and where the puncher mode opens
// it, in twips of the window design.
constexpr int kParkedLeft = 30;
constexpr int kParkedTop = 60;
constexpr int kOpenLeft = 45;
constexpr int kOpenWidth = 13365;
constexpr int kOpenHeight = 5190;
constexpr int kDeskHeight = 5580;

const QString kPunchingAction = QStringLiteral("Sending Human Readables");
const QString kPunchingCaption = QStringLiteral(" Puncher Active ");
const QString kIdleCaption = QStringLiteral("Preview");

} // namespace

PuncherPart::PuncherPart(CommandHost& host) : QObject(host.window()), m_host(host)
{
    setObjectName("PuncherPart");
    frmPunch = new PunchPanel(&host.desk());
    frmPunch->move(twips(kParkedLeft), twips(kParkedTop));
    frmPunch->resize(twips(kOpenWidth), twips(kOpenHeight));
    frmPunch->hide();

    lblPuncher = host.addCommand("Tape", "lblPuncher", "Puncher", "Starts the human readable punch tape app.");
    lblRSendToPunch = host.addCommand("Tape", "lblRSendToPunch", "RSend Punch", "Sends RSend Info to the puncher");
    // The puncher needs the line: its command follows the port.
    lblPuncher->setEnabled(host.link().isOpen());
    connect(&host.link(), &SerialLink::openChanged, lblPuncher, &QWidget::setEnabled);

    connect(lblPuncher, &CommandLabel::clicked, this, &PuncherPart::lblPuncher_Click);
    connect(lblRSendToPunch, &CommandLabel::clicked, this, &PuncherPart::lblRSendToPunch_Click);
    connect(frmPunch->cmdPunch, &QPushButton::clicked, this, &PuncherPart::cmdPunch_Click);
    connect(frmPunch->cmdEndPunch, &QPushButton::clicked, this, &PuncherPart::cmdEndPunch_Click);
    connect(frmPunch->txtInput, &QLineEdit::textChanged, this, [this] {
        if (m_modeRunning)
            redrawTape();
    });
    connect(frmPunch->txtInput, &QLineEdit::cursorPositionChanged, this, [this] {
        if (m_modeRunning)
            followCursor();
    });
}

void PuncherPart::lblPuncher_Click()
{
    m_host.state().PunchStop = false;
    if (!connectionGuard(m_host))
        return;

    // The designed place lies below the text window: the frame stands as low
    // as the desk lets it be seen whole, scaled down with a smaller desk.
    m_host.desk().place(frmPunch, QRect(kOpenLeft, 0, kOpenWidth, kDeskHeight),
                        QSize(twips(kOpenWidth), twips(kOpenHeight)), Qt::AlignLeft | Qt::AlignBottom);
    m_modeRunning = false; // emptying the text box is not an edit to draw
    frmPunch->txtInput->clear();
    frmPunch->picPunch->clear();
    frmPunch->picPunch->setDrawWidth(tape::kCodeHoleWidth);
    m_modeRunning = true;
    frmPunch->show();
    frmPunch->raise();
    frmPunch->txtInput->setFocus();
}

void PuncherPart::cmdEndPunch_Click()
{
    frmPunch->hide();
    m_host.state().PunchStop = true;
    m_modeRunning = false;
}

void PuncherPart::redrawTape()
{
    PunchTape& picture = *frmPunch->picPunch;
    const QString text = frmPunch->txtInput->text();
    picture.clear();
    picture.setDrawWidth(tape::kFeedHoleWidth);
    picture.drawFeedHoles(tape::feedHoleLimit(text.size()));
    picture.setDrawWidth(tape::kCodeHoleWidth);
    DrawPunchTape(text);
    followCursor();
}

void PuncherPart::followCursor()
{
    const QLineEdit& input = *frmPunch->txtInput;
    frmPunch->picPunch->ensureVisible(tape::layOut(input.text().left(input.cursorPosition()), 0).endX);
}

void PuncherPart::DrawPunchTape(const QString& text)
{
    // The program-wide PunchX is where drawing starts; the running position
    // is 64-bit, so a long text never wraps round.
    frmPunch->picPunch->drawText(text, m_host.state().PunchX);
    m_host.state().PunchX = 0;
}

void PuncherPart::cmdPunch_Click()
{
    QString sequence;
    Puncher(frmPunch->txtInput->text(), sequence);
    punchSequence(sequence);
}

void PuncherPart::punchSequence(const QString& sequence)
{
    if (m_punching)
        return;
    m_punching = true;
    frmPunch->cmdPunch->setEnabled(false);

    SerialLink& link = m_host.link();
    // A vanished device is reported by whoever watches the line for the
    // whole program; here it only ends the punching.
    bool lineLost = false;
    const QMetaObject::Connection lossWatch =
        connect(&link, &SerialLink::deviceLost, this, [&lineLost] { lineLost = true; });

    PunchTape& picture = *frmPunch->picPunch;
    // What the picture shows after the last character drawn: a character
    // with the same glyph leaves it as it is.
    const tape::Glyph* shownGlyph = nullptr;
    std::optional<quint64> shownRevision;

    CharacterPacer pacer(m_host.state().CharDelay);
    for (const QChar character : sequence) {
        if (lineLost)
            break;
        if (!link.isOpen())
            continue;
        if (m_host.status().lblAction->text() != kPunchingAction)
            m_host.status().setAction(kPunchingAction);
        frmPunch->setPreviewCaption(kPunchingCaption, Qt::red);
        link.send(QString(character));

        const tape::Glyph* glyph = tape::glyphFor(character.toUpper());
        if (picture.revision() != shownRevision || glyph != shownGlyph || m_host.state().PunchX != 0) {
            picture.clear();
            DrawPunchTape(QString(character));
            shownGlyph = glyph;
            shownRevision = picture.revision();
        }
        pacer.pauseAfterCharacter();
    }

    disconnect(lossWatch);
    frmPunch->setPreviewCaption(kIdleCaption, Qt::black);
    frmPunch->cmdPunch->setEnabled(true);
    m_punching = false;
}

void PuncherPart::lblRSendToPunch_Click()
{
    // The broadcast texts have no tape form yet: the question is asked and
    // either answer leaves the line alone.
    m_host.dialogs().message("This option sends Header / Message / Textfile to the connected teleprinter for punching ",
                             Dialogs::Icon::None, Dialogs::Buttons::YesNo, Dialogs::Answer::Yes);
}
