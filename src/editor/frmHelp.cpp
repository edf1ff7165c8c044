#include "editor/frmHelp.h"

#include "core/DataFile.h"
#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "core/Widgets.h"
#include "editor/RtfReader.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

frmHelp::frmHelp(const ProgramFolder& folder, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_settings(settings)
{
    setObjectName("frmHelp");
    setWindowTitle("Quillnet USB Terminal Help");

    auto* layout = new QVBoxLayout(this);
    lblHelpContext = new PlainLabel("What's new in this Version", this);
    lblHelpContext->setObjectName("lblHelpContext");
    QFont headFont = lblHelpContext->font();
    headFont.setBold(true);
    headFont.setPointSize(headFont.pointSize() + 3);
    lblHelpContext->setFont(headFont);
    layout->addWidget(lblHelpContext);

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName("RichTextBox1");
    RichTextBox1->setReadOnly(true);
    // A word wider than the window is broken rather than pushed out of sight.
    RichTextBox1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->addWidget(RichTextBox1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    lblExit = new CommandLabel("lblExit", "EXIT", "Close the help window", this);
    lblExit->setMinimumWidth(80);
    bottom->addWidget(lblExit);
    layout->addLayout(bottom);
    connect(lblExit, &CommandLabel::clicked, this, [this] { done(QDialog::Accepted); });

    resize(680, 560);
}

void frmHelp::Form_Load()
{
    m_lastDownload = m_download.fetch(m_settings.get(setting_keys::HelpWebFolder), localPath(), m_timeoutMs);
    if (!showLocalCopy())
        showMissingNote();
}

void frmHelp::runModal()
{
    setWindowModality(Qt::ApplicationModal);
    // The last copy is readable at once; a fresh one replaces it when the
    // download has come.
    if (!showLocalCopy())
        RichTextBox1->setPlainText("Fetching the help document ...");
    show();
    raise();
    activateWindow();
    Form_Load();
    if (isVisible())
        EventWait::forSignal(this, &QDialog::finished, -1);
}

void frmHelp::done(int result)
{
    m_download.abort();
    QDialog::done(result);
}

FileBytes frmHelp::readLocalCopy() const
{
    // One byte past the limit tells a longer file from one exactly at it.
    return readFileBytes(localPath(), HelpDownload::kMaxBytes + 1);
}

bool frmHelp::showLocalCopy()
{
    FileBytes file = readLocalCopy();
    if (file.outcome == FileBytes::Outcome::Missing)
        return false;
    // A copy that is there but cannot be read says why, never "no copy".
    if (!file.read()) {
        RichTextBox1->setPlainText("The help document " + localPath() + " cannot be read:\n" + file.problem);
        return true;
    }
    QByteArray& bytes = file.bytes;
    const bool tooLarge = bytes.size() > HelpDownload::kMaxBytes;
    bytes.truncate(HelpDownload::kMaxBytes);
    rtf::Document document = rtf::parse(bytes);
    if (document.cut || tooLarge) {
        rtf::Run note;
        note.text = "The help document goes on beyond what this window shows, and is cut here. "
                    "The whole document is the file " + localPath() + ".";
        note.italic = true;
        rtf::Paragraph closing;
        closing.runs << note;
        closing.layout.spaceBefore = 240;
        document.paragraphs << closing;
    }
    // Built apart from the window, which then lays it out once and shows it
    // from the top (its cursor would go along with text written into its
    // own document). The document shown before goes, if made here.
    auto* shown = new QTextDocument(RichTextBox1);
    rtf::fill(*shown, document);
    QTextDocument* previous = RichTextBox1->document();
    const bool madeHere = previous->parent() == RichTextBox1;
    RichTextBox1->setDocument(shown);
    if (madeHere)
        delete previous;
    return true;
}

void frmHelp::showMissingNote()
{
    QString note = "The help document is not available.\n\n"
                   "There is no copy of wnew.rtf in the program folder ("
                   + m_folder.path() + ")";
    if (m_lastDownload.outcome == HelpDownload::Outcome::NotConfigured)
        note += ", and no web folder is set to fetch it from.";
    else
        note += ", and it could not be fetched: " + m_lastDownload.reason + ".";
    RichTextBox1->setPlainText(note);
}
