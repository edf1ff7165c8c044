#include "prepared/PresetPhrases.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "link/Guards.h"
#include "link/TerminalText.h"

#include <QFile>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString kFileName = QStringLiteral("\\QuillnetPresetText.txt");
const QString kToolTip = QStringLiteral("Test Phrases for allignment purpose");

// The panel stands on the desk right of the terminal text window, below the
// clock's ring and within the clock's plate, clear of the plate's screws, in
// twips; it keeps its place and size at the desk's right edge when the desk
// grows.
const QRect kPanelPlace(13635, 2775, 3870, 2370);

} // namespace

namespace presetphrases {

QStringList captionsFromText(const QString& text)
{
    QStringList captions = splitLines(text).mid(0, kPhrases);
    while (captions.size() < kPhrases)
        captions << QString();
    return captions;
}

} // namespace presetphrases

PresetPhrases::PresetPhrases(CommandHost& host, TextSender sendText, QObject* parent)
    : QObject(parent), m_host(host), m_sendText(std::move(sendText))
{
    setObjectName("PresetPhrases");
    framePresetText = new QWidget(&host.desk());
    framePresetText->setObjectName("framePresetText");
    host.desk().place(framePresetText, kPanelPlace, QSize(twips(kPanelPlace.width()), twips(kPanelPlace.height())));
    framePresetText->setAttribute(Qt::WA_StyledBackground);
    framePresetText->setStyleSheet("QWidget#framePresetText { background: rgb(32, 40, 48);"
                                   " border: 1px solid #708090; border-radius: 3px; }"
                                   "QLabel { color: #e8e8d0; }");

    // Phrases are prose: a proportional face keeps long ones within the panel.
    QFont font = framePresetText->font();
    font.setPixelSize(10);
    auto* layout = new QVBoxLayout(framePresetText);
    layout->setContentsMargins(5, 2, 5, 2);
    layout->setSpacing(0);
    auto* title = new PlainLabel("Phrases", framePresetText);
    title->setObjectName("lblPresetTitle");
    QFont titleFont = title->font();
    titleFont.setPixelSize(10);
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title);
    for (int k = 0; k < presetphrases::kPhrases; ++k) {
        auto* label = new CommandLabel(QStringLiteral("lblPresetText_%1").arg(k), QString(), kToolTip,
                                       framePresetText);
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFrameShape(QFrame::NoFrame);
        label->setMargin(0);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed); // as high as its caption
        connect(label, &CommandLabel::clicked, this, [this, k] { lblPresetText_Click(k); });
        layout->addWidget(label);
        lblPresetText[k] = label;
    }
    layout->addStretch(1);
}

void PresetPhrases::load()
{
    for (CommandLabel* label : lblPresetText)
        label->clear();
    const QString path = m_host.state().folder.file(kFileName);
    // Without a phrase file the labels stay empty.
    if (!QFile::exists(path))
        return;
    QString error;
    const std::optional<QString> text = readTextFile(path, &error);
    if (!text) {
        m_host.dialogs().warn("The preset phrases cannot be read from QuillnetPresetText.txt: " + error);
        return;
    }
    const QStringList captions = presetphrases::captionsFromText(*text);
    for (int k = 0; k < presetphrases::kPhrases; ++k)
        lblPresetText[k]->setText(captions[k]);
}

void PresetPhrases::lblPresetText_Click(int index)
{
    if (index < 0 || index >= presetphrases::kPhrases)
        return;
    if (!connectionGuard(m_host) || !portGuard(m_host))
        return;
    // SendTxt starts with a carriage return of its own and drops these two.
    m_sendText("\r" + lblPresetText[index]->text() + "\r");
    TerminalText& terminal = m_host.terminal();
    terminal.setFocus();
    terminal.moveCaretToEnd();
}
