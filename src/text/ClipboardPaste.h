#pragma once

#include <QGroupBox>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>

#include "text/TransmissionSteps.h"

class CommandLabel;

// Paste: the clipboard's text, spelled in the telex repertoire and wrapped
// to 68 characters, first into the preview frame and, after "Send Preview",
// onto the line. The text passes through the scratch file "\clipboard.txt".
class ClipboardPaste : public QObject {
    Q_OBJECT
public:
    ClipboardPaste(TransmissionSteps steps, QObject* parent);

    CommandLabel* lblPaste;
    QGroupBox* tabPreview;
    QPlainTextEdit* RichTextBox1;
    QPushButton* cmdSendPreview;
    QPushButton* cmdExitPreview;

    // The commands held back while a paste runs.
    void setHeldCommands(QList<QWidget*> commands) { m_heldCommands = std::move(commands); }

    void lblPaste_Click();
    // Hides the preview and sends what the clipboard holds now.
    void cmdSendPreview_Click();
    void cmdExitPreview_Click();

private:
    void buildPreviewFrame();
    // The scratch file's second content, as it would go out.
    std::optional<QString> prepare(const QString& clipboardText);
    void fillPreview(const QString& content);
    void transmit(const QString& content);
    void endStep();

    TransmissionSteps m_steps;
    QList<QWidget*> m_heldCommands;
};
