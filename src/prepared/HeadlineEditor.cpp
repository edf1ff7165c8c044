#include "prepared/HeadlineEditor.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"

#include <QButtonGroup>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

using namespace headlines;

namespace {

const QString kHeadlinesFile = QStringLiteral("\\Headlines.txt");
const QString kHeadlineFile = QStringLiteral("\\Headline1.txt");
const QString kEditingDate = QStringLiteral("mm/dd/yyyy");
const QString kSentDate = QStringLiteral("dd/mm/yyyy");

const QString kInfoTexts[] = {
    QStringLiteral("Here you may edit the headlines which will be sent at the beginning of your message."),
    QStringLiteral(" Limit the Text-Lenght to the input box size, otherwise the header would be too long to send "),
    QStringLiteral(" Select the options to choose which headline will be printed"),
    QStringLiteral("  At Exit all the Headlines will be saved automatically."),
    QStringLiteral(" Press Preview to check the maximum length"),
};

// The panel over the terminal text window, in twips of the window design.
constexpr int kPanelLeft = 45;
constexpr int kPanelTop = 60;
constexpr int kPanelWidth = 13365;
constexpr int kPanelHeight = 5145;
constexpr int kPreviewWidth = 9855;

// The panel's own arrangement, in pixels: the layouts on the left, one row
// of fields per headline line, the preview below them, the explanation and
// the commands on the right.
constexpr int kMargin = 8;
constexpr int kRowHeight = 19;
constexpr int kRowPitch = 20;
constexpr int kLayoutsTop = 28;
constexpr int kLayoutPitch = 3 * kRowPitch + 4;
constexpr int kFieldsLeft = 100;
constexpr int kFieldGap = 3;
constexpr int kPreviewTop = kLayoutsTop + 3 * kLayoutPitch + 4;
constexpr int kSideLeft = kMargin + kPreviewWidth / 15 + 8;

// How many characters each field of a layout is sized for: the longest line
// is 68 characters, the width of a telex line.
constexpr int kFieldChars[kFieldsPerLayout] = {25, 42, 12, 8, 5, 10, 4, 8, 9, 30, 27};
// The fields each row of a layout holds.
constexpr int kRowFirstField[] = {0, 2, 8, kFieldsPerLayout};

const QString kOptionCaptions[kLayoutCount] = {"Headline 1", "Headline 2", "Headline 3"};
const QString kOptionTips[kLayoutCount] = {"Selects the first Headline Set", "Selects thesecond Headline Set",
                                           "Selects the third Headline Set"};

bool isOwnerNumberField(int k)
{
    return k < kSelectField && k % kFieldsPerLayout == kOwnerNumber;
}

QFont fieldFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

} // namespace

HeadlineEditor::HeadlineEditor(CommandHost& host, ListsRefresher refreshLists, QObject* parent)
    : QObject(parent), frameHeadLine(new QWidget(&host.desk())), m_host(host), m_refreshLists(std::move(refreshLists))
{
    setObjectName("HeadlineEditor");
    frameHeadLine->setObjectName("frameHeadLine");
    frameHeadLine->hide();
    buildPanel();

    lblHeadlineEditor = host.addCommand("Texts", "lblHeadlineEditor", "Edit Headline", "Invokes the Headline Editor");
    connect(lblHeadlineEditor, &CommandLabel::clicked, this, &HeadlineEditor::lblHeadlineEditor_Click);
    connect(lblView, &CommandLabel::clicked, this, &HeadlineEditor::lblView_Click);
    connect(lblClsPreview, &CommandLabel::clicked, this, &HeadlineEditor::lblClsPreview_Click);
    connect(lblExitHeadlineEditor, &CommandLabel::clicked, this, &HeadlineEditor::lblExitHeadlineEditor_Click);
    connect(m_options, &QButtonGroup::idClicked, this, &HeadlineEditor::Option1_Click);
}

void HeadlineEditor::buildPanel()
{
    frameHeadLine->setGeometry(twips(kPanelLeft), twips(kPanelTop), twips(kPanelWidth), twips(kPanelHeight));
    frameHeadLine->setAutoFillBackground(true);
    QPalette panelColours = frameHeadLine->palette();
    panelColours.setColor(QPalette::Window, QColor(0xECE8DE));
    frameHeadLine->setPalette(panelColours);
    auto* border = new QFrame(frameHeadLine);
    border->setFrameShape(QFrame::Box);
    border->setGeometry(frameHeadLine->rect());

    Label14 = new PlainLabel("Header Editor for Quillnet - Take care to choose one out of 3 Layouts before exiting !",
                             frameHeadLine);
    Label14->setObjectName("Label14");
    QFont titleFont = Label14->font();
    titleFont.setBold(true);
    Label14->setFont(titleFont);
    Label14->setGeometry(kMargin, 4, frameHeadLine->width() - 2 * kMargin, kRowHeight);

    m_options = new QButtonGroup(this);
    for (int layout = 0; layout < kLayoutCount; ++layout) {
        const int top = kLayoutsTop + layout * kLayoutPitch;
        auto* option = new QRadioButton(kOptionCaptions[layout], frameHeadLine);
        option->setObjectName(QStringLiteral("Option1_%1").arg(layout));
        option->setToolTip(kOptionTips[layout]);
        option->setGeometry(kMargin, top, kFieldsLeft - kMargin - 4, kRowHeight);
        m_options->addButton(option, layout);
        Option1[layout] = option;
        buildLayoutRows(layout, top);
    }

    // The layout number is kept with the texts but chosen with the buttons.
    txtHeadlines[kSelectField] = new QLineEdit(frameHeadLine);
    txtHeadlines[kSelectField]->setObjectName(QStringLiteral("txtHeadlines_%1").arg(kSelectField));
    txtHeadlines[kSelectField]->hide();

    lstHeadlines = new QListWidget(frameHeadLine);
    lstHeadlines->setObjectName("lstHeadlines");
    lstHeadlines->setToolTip("Display Window for Headlines Preview");
    lstHeadlines->setAccessibleName("Headlines Preview");
    lstHeadlines->setAccessibleDescription(lstHeadlines->toolTip());
    lstHeadlines->setFont(fieldFont());
    lstHeadlines->setGeometry(kMargin, kPreviewTop, twips(kPreviewWidth), frameHeadLine->height() - kPreviewTop - 4);
    lstHeadlines->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstHeadlines->hide();

    lblInfoHeadlines = new PlainLabel(frameHeadLine);
    lblInfoHeadlines->setObjectName("lblInfoHeadlines");
    lblInfoHeadlines->setWordWrap(true);
    lblInfoHeadlines->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont infoFont = lblInfoHeadlines->font();
    infoFont.setPointSize(8);
    lblInfoHeadlines->setFont(infoFont);
    const int sideWidth = frameHeadLine->width() - kSideLeft - kMargin;
    lblInfoHeadlines->setGeometry(kSideLeft, kLayoutsTop, sideWidth, kPreviewTop - kLayoutsTop - 4);

    lblView = new CommandLabel("lblView", "Preview", QString(), frameHeadLine);
    lblClsPreview = new CommandLabel("lblClsPreview", "Clear", "Clears and hide the Preview Window", frameHeadLine);
    lblExitHeadlineEditor = new CommandLabel("lblExitHeadlineEditor", "Exit", "Exit Headline Editor", frameHeadLine);
    int commandTop = kPreviewTop;
    for (CommandLabel* command : {lblView, lblClsPreview, lblExitHeadlineEditor}) {
        command->setGeometry(kSideLeft, commandTop, 110, 26);
        commandTop += 30;
    }
}

void HeadlineEditor::buildLayoutRows(int layout, int top)
{
    const QFont font = fieldFont();
    const QFontMetrics metrics(font);
    for (int row = 0; row < 3; ++row) {
        int x = kFieldsLeft;
        for (int offset = kRowFirstField[row]; offset < kRowFirstField[row + 1]; ++offset) {
            const int k = layout * kFieldsPerLayout + offset;
            auto* field = new QLineEdit(frameHeadLine);
            field->setObjectName(QStringLiteral("txtHeadlines_%1").arg(k));
            field->setAccessibleName(QStringLiteral("%1, line %2, field %3")
                                         .arg(kOptionCaptions[layout])
                                         .arg(row + 1)
                                         .arg(offset - kRowFirstField[row] + 1));
            field->setFont(font);
            const int width = metrics.horizontalAdvance(QString(kFieldChars[offset], '0')) + 10;
            field->setGeometry(x, top + row * kRowPitch, width, kRowHeight);
            x += width + kFieldGap;
            if (isOwnerNumberField(k))
                connect(field, &QLineEdit::textChanged, this, [this, k] { keepOwnerNumbersEqual(k); });
            txtHeadlines[k] = field;
        }
    }
}

QStringList HeadlineEditor::fields() const
{
    QStringList texts;
    for (const QLineEdit* field : txtHeadlines)
        texts << field->text();
    return texts;
}

void HeadlineEditor::setFields(const QStringList& texts)
{
    for (int k = 0; k < kFieldCount; ++k)
        txtHeadlines[k]->setText(texts.value(k));
}

void HeadlineEditor::keepOwnerNumbersEqual(int changedField)
{
    if (m_syncingOwnerNumber)
        return;
    m_syncingOwnerNumber = true;
    const QString text = txtHeadlines[changedField]->text();
    for (int layout = 0; layout < kLayoutCount; ++layout) {
        QLineEdit* field = txtHeadlines[layout * kFieldsPerLayout + kOwnerNumber];
        if (field->text() != text)
            field->setText(text);
    }
    m_syncingOwnerNumber = false;
}

void HeadlineEditor::stampDateTime(const QString& datePattern)
{
    QStringList texts = fields();
    headlines::stampDateTime(texts, m_host.state().now(), datePattern);
    setFields(texts);
}

void HeadlineEditor::loadFields()
{
    // A missing file is a first start: the defaults stand. A file that is
    // there but cannot be read is worth a word, since the user expects his
    // own headlines.
    const QString path = m_host.state().folder.file(kHeadlinesFile);
    QString text;
    if (QFile::exists(path)) {
        QString error;
        if (const auto read = readTextFile(path, &error))
            text = *read;
        else
            m_host.dialogs().warn(QStringLiteral("The headlines could not be read from %1:\n%2\n\n"
                                                  "The editor shows the standard headlines instead.")
                                       .arg(path, error));
    }
    setFields(fieldsFromFileText(text));
    stampDateTime(kEditingDate);
    m_host.state().HeadlineSelect = selectFromField(txtHeadlines[kSelectField]->text());
    showSelection();
    m_loaded = true;
}

void HeadlineEditor::showSelection()
{
    const int select = m_host.state().HeadlineSelect;
    // An exclusive group always keeps one button checked; a number that is
    // no layout must show none.
    m_options->setExclusive(false);
    for (int layout = 0; layout < kLayoutCount; ++layout)
        Option1[layout]->setChecked(layout == select);
    m_options->setExclusive(true);
}

void HeadlineEditor::lblHeadlineEditor_Click()
{
    lblInfoHeadlines->setText(QStringList(std::begin(kInfoTexts), std::end(kInfoTexts)).join(QString()));
    loadFields();
    // At its designed size at the top left, scaled down with a smaller desk.
    m_host.desk().place(frameHeadLine, QRect(kPanelLeft, kPanelTop, kPanelWidth, kPanelHeight),
                        QSize(twips(kPanelWidth), twips(kPanelHeight)));
    frameHeadLine->raise();
    frameHeadLine->show();
    lstHeadlines->hide();
}

void HeadlineEditor::Option1_Click(int index)
{
    m_host.state().HeadlineSelect = index;
}

void HeadlineEditor::lblView_Click()
{
    const int select = m_host.state().HeadlineSelect;
    lstHeadlines->clear();
    if (const auto colour = layoutColour(select)) {
        QPalette palette = lstHeadlines->palette();
        palette.setColor(QPalette::Base, *colour);
        palette.setColor(QPalette::Text, Qt::black);
        lstHeadlines->setPalette(palette);
    }
    lstHeadlines->addItems(previewLines(fields(), select));
    lstHeadlines->raise();
    lstHeadlines->show();
}

void HeadlineEditor::lblClsPreview_Click()
{
    lstHeadlines->hide();
}

bool HeadlineEditor::write(const QString& name, const QString& text)
{
    const QString path = m_host.state().folder.file(name);
    QString error;
    if (writeTextFileAtomic(path, text, &error))
        return true;
    m_host.dialogs().warn(QStringLiteral("The headlines could not be saved to %1:\n%2\n\n"
                                          "The headline editor keeps your texts. Make the program folder "
                                          "writable, then press Exit again.")
                               .arg(path, error));
    return false;
}

bool HeadlineEditor::lblExitHeadlineEditor_Click()
{
    // Sending a headline runs this without the editor having been opened;
    // the saved headlines are read first so they are not overwritten by the
    // standard texts.
    if (!m_loaded)
        loadFields();

    const int select = m_host.state().HeadlineSelect;
    txtHeadlines[kSelectField]->setText(QString::number(select));
    // The saved file keeps the date and time the fields showed while editing.
    if (!write(kHeadlinesFile, fileText(fields())))
        return false;
    stampDateTime(kSentDate);
    if (!write(kHeadlineFile, headlineFileText(fields(), select)))
        return false;

    lstHeadlines->clear();
    if (m_refreshLists)
        m_refreshLists();
    frameHeadLine->hide();
    return true;
}
