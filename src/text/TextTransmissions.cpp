#include "text/TextTransmissions.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/StatusPanel.h"
#include "link/SerialLink.h"
#include "text/ClipboardPaste.h"
#include "text/FileTransmission.h"
#include "text/frmCancelSend.h"
#include "text/KlklAnswer.h"
#include "text/LineEncoding.h"
#include "text/Pause.h"
#include "text/Transliteration.h"
#include "text/TransmissionControl.h"
#include "text/TransmissionSteps.h"

TextTransmissions::TextTransmissions(CommandHost& host, QObject* parent)
    : QObject(parent),
      m_host(host),
      m_control(new TransmissionControl(host.link(), this)),
      m_cancelWindow(new frmCancelSend(host.state(), host.window()))
{
    const TransmissionSteps steps{host, *m_control, *m_cancelWindow};
    m_paste = new ClipboardPaste(steps, this);
    m_files = new FileTransmission(steps, [this] { m_paste->RichTextBox1->clear(); }, this);
    m_klkl = new KlklAnswer(steps, [this] { return m_files->TransmitFile(); }, this);

    m_paste->setHeldCommands({m_paste->lblPaste, m_files->lblSendText1});
    // Paste and "Send Text File" work only with the port open; the prepared
    // files' commands stay, and check the connection when clicked.
    m_control->setPortCommands({m_files->lblSendText1, m_paste->lblPaste});
}

TextTransmissions::~TextTransmissions() = default;

void TextTransmissions::SendTxt(const QString& text)
{
    TransmissionControl::Running running(*m_control);
    TransmissionSteps steps{m_host, *m_control, *m_cancelWindow};
    AppState& state = m_host.state();
    state.StopSend = false;
    m_host.status().setAction("Transmitting Text");
    m_host.link().send("\r");
    CharacterPacer pacer(state.CharDelay);
    for (const QChar c : spellBeyondLatin1(text)) {
        if (!steps.lineOpen())
            break;
        steps.sendPaced(ConvertForSendTxt(QString(c)), pacer);
    }
    m_host.status().setTxLit(false);
}

void TextTransmissions::SendKLKL()
{
    m_klkl->SendKLKL();
}
