#include "text/TextPart.h"

#include "core/AppState.h"
#include "core/StatusPanel.h"
#include "app/TerminalContext.h"
#include "app/terminal.h"
#include "text/ClipboardPaste.h"
#include "text/KlklAnswer.h"
#include "text/LineEncoding.h"
#include "text/Pause.h"
#include "text/TextFileSender.h"
#include "text/Transliteration.h"
#include "text/TransmissionControl.h"
#include "text/TransmissionKit.h"
#include "text/frmCancelSend.h"

TextPart::TextPart(TerminalContext& context, frmTerminal& window)
    : m_context(context),
      m_window(window),
      m_control(new TransmissionControl(context.link, this)),
      m_cancelWindow(new frmCancelSend(context.state, &window))
{
    const TransmissionKit kit{context, window, *m_control, *m_cancelWindow};
    m_paste = new ClipboardPaste(kit, this);
    m_files = new TextFileSender(kit, [this] { m_paste->RichTextBox1->clear(); }, this);
    m_klkl = new KlklAnswer(kit, [this] { return m_files->TransmitFile(); }, this);
    m_control->setStartCommands({window.lblPaste, window.lblSendText1, window.lblSendHeader,
                                 window.lblSendHeadlines, window.lblSendMessage, m_paste->cmdSendPreview});
}

TextPart::~TextPart() = default;

void TextPart::SendTxt(const QString& text)
{
    TransmissionControl::Running running(*m_control, TransmissionControl::Running::Short);
    TransmissionKit kit{m_context, m_window, *m_control, *m_cancelWindow};
    m_context.state.StopSend = false;
    m_context.status.setAction("Transmitting Text");
    m_context.link.send("\r");
    CharacterPacer pacer(m_context.state.CharDelay);
    for (const QChar c : spellBeyondLatin1(text)) {
        if (!kit.lineOpen())
            break;
        kit.sendPaced(ConvertForSendTxt(QString(c)), pacer);
    }
    m_context.status.setTxLit(false);
}
