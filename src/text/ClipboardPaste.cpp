#include "text/ClipboardPaste.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "link/SerialLink.h"
#include "text/frmCancelSend.h"
#include "text/Pause.h"
#include "text/TransmissionControl.h"
#include "text/TransmissionFiles.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const QString kScratchName = QStringLiteral("\\clipboard.txt");
const QString kTransmitting = QStringLiteral("Transmitting Clipboard Text");
const QString kLineEnd = QStringLiteral("\r\n");
// The preview is filled in pieces of this many characters, with the
// window's events let in between.
constexpr qsizetype kPreviewPiece = 1 << 16;

// The frame of the preview, in twips of the window design; it grows with the
// desk and its text window with it.
constexpr int kFrameLeft = 45, kFrameTop = 60, kFrameWidth = 13365, kFrameHeight = 5145;

// The preview shows each line end (CR LF, or a CR or LF alone) as one break.
QString forDisplay(QStringView piece)
{
    QString shown = piece.toString();
    shown.replace(kLineEnd, QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

} // namespace

ClipboardPaste::ClipboardPaste(TransmissionSteps steps, QObject* parent) : QObject(parent), m_steps(steps)
{
    buildPreviewFrame();
    lblPaste = m_steps.host.addCommand("Send", "lblPaste", "Paste", "Copy and Paste text into a live connection.");
    connect(lblPaste, &CommandLabel::clicked, this, &ClipboardPaste::lblPaste_Click);
    connect(cmdSendPreview, &QPushButton::clicked, this, &ClipboardPaste::cmdSendPreview_Click);
    connect(cmdExitPreview, &QPushButton::clicked, this, &ClipboardPaste::cmdExitPreview_Click);
}

void ClipboardPaste::buildPreviewFrame()
{
    tabPreview = new QGroupBox("Preview Paste / Send", &m_steps.host.desk());
    tabPreview->setObjectName("tabPreview");
    m_steps.host.desk().place(tabPreview, QRect(kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight));
    tabPreview->setAutoFillBackground(true);

    RichTextBox1 = new QPlainTextEdit(tabPreview);
    RichTextBox1->setObjectName("RichTextBox1");
    // The preview only shows; what goes out is the clipboard read afresh.
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setUndoRedoEnabled(false);
    RichTextBox1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    RichTextBox1->setFont(font);

    cmdSendPreview = new QPushButton("Send Preview", tabPreview);
    cmdSendPreview->setObjectName("cmdSendPreview");
    cmdExitPreview = new QPushButton("Exit Preview", tabPreview);
    cmdExitPreview->setObjectName("cmdExitPreview");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSendPreview);
    buttons->addWidget(cmdExitPreview);
    auto* layout = new QVBoxLayout(tabPreview);
    layout->addWidget(RichTextBox1, 1);
    layout->addLayout(buttons);
    tabPreview->hide();
}

void ClipboardPaste::cmdSendPreview_Click()
{
    tabPreview->hide();
    m_steps.host.state().PreviewMode = false;
    lblPaste_Click();
}

void ClipboardPaste::cmdExitPreview_Click()
{
    tabPreview->hide();
}

void ClipboardPaste::lblPaste_Click()
{
    AppState& state = m_steps.host.state();
    Dialogs& dialogs = m_steps.host.dialogs();
    if (!state.ConnectionActive && !state.PreviewMode) {
        dialogs.beep();
        dialogs.message(" No active connection  ......");
        return;
    }

    // Another transmission may be running: the paste follows once it has
    // ended, so the two never mix.
    if (m_steps.control.busy() || m_steps.control.hasWaitingJob()) {
        m_steps.control.runWhenFree([this] { lblPaste_Click(); });
        return;
    }
    TransmissionControl::Running running(m_steps.control, m_heldCommands);
    const bool preview = state.PreviewMode;
    if (preview) {
        tabPreview->show();
        tabPreview->raise();
    }
    state.StopSend = false;
    // A large clipboard takes a while to convert: Cancel is offered from
    // the start.
    m_steps.cancelWindow.setStatus(kTransmitting);
    m_steps.cancelWindow.showForTransmission();

    const std::optional<QString> content = prepare(QGuiApplication::clipboard()->text());
    if (!content || state.StopSend) {
        endStep();
        return;
    }

    m_steps.cancelWindow.setStatus(kTransmitting);
    m_steps.host.status().setAction(kTransmitting);
    m_steps.cancelWindow.showForTransmission();
    if (!preview && !m_steps.lineOpen()) {
        portGuard(m_steps.host);
        endStep();
        return;
    }
    m_steps.host.link().send("\r");
    RichTextBox1->clear();
    if (preview)
        fillPreview(*content);
    else
        transmit(*content);
    endStep();
}

std::optional<QString> ClipboardPaste::prepare(const QString& clipboardText)
{
    const QString scratch = m_steps.host.state().folder.file(kScratchName);
    QFile::remove(scratch);
    Breather breather(m_steps.host.state().StopSend);
    QString error;
    const QString raw = clipboardText + kLineEnd;
    if (!writeScratchFile(scratch, raw, breather.asFunction(), &error)) {
        if (!error.isEmpty())
            m_steps.reportFileProblem(scratch, error);
        return std::nullopt;
    }

    return m_steps.wrapToScratch(raw, scratch, breather);
}

void ClipboardPaste::fillPreview(const QString& content)
{
    // The column counter counts every character since the last carriage
    // return, that one included.
    int column = 0;
    QTextCursor cursor(RichTextBox1->document());
    cursor.movePosition(QTextCursor::End);
    Breather breather(m_steps.host.state().StopSend);
    qsizetype start = 0;
    while (start < content.size() && breather.keepGoing()) {
        qsizetype end = std::min(content.size(), start + kPreviewPiece);
        if (end < content.size() && content[end - 1] == u'\r' && content[end] == u'\n')
            ++end; // keep a line end in one piece
        const QStringView piece = QStringView(content).mid(start, end - start);
        for (const QChar c : piece) {
            if (c == u'\r')
                column = 0;
            ++column;
        }
        cursor.insertText(forDisplay(piece));
        start = end;
    }
    m_steps.host.status().showCount(column);
}

void ClipboardPaste::transmit(const QString& content)
{
    int column = 0;
    m_steps.sendWrapped(content, column);
}

void ClipboardPaste::endStep()
{
    m_steps.finish();
    m_steps.host.status().resetRuler();
    m_steps.host.state().PreviewMode = true;
}
