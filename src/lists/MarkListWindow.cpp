#include "lists/MarkListWindow.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/ListColumns.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTreeView>

const QString MarkListWindow::kNoRowChosen = QStringLiteral("ID");

namespace {

const QString kFieldNames[MarkColumnCount] = {"txtID",    "txtNumber", "txtName",  "txtChk",   "txtRsGr1",
                                              "txtRsGr2", "txtRsGr3",  "txtRsGr4", "txtRsGr5", "txtAction"};

// Between two row fields; a field is this much narrower than its column.
constexpr int kFieldGap = 2;

const QColor kFailed(200, 0, 0);
const QColor kDone(0, 120, 0);

} // namespace

int checkBoxRoom(const QWidget* list)
{
    return list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list) + 8;
}

MarkListWindow::MarkListWindow(AppState& state, Dialogs& dialogs, ListDesign design, const Texts& texts,
                               QWidget* parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_model(new MarkListModel(std::move(design), this))
{
    setObjectName(texts.objectName);
    setWindowTitle(texts.caption);
    buildWindow(texts);

    connect(m_model, &MarkListModel::checkChanged, this, &MarkListWindow::onCheckChanged);
    connect(lvwStat, &QTreeView::clicked, this, [this](const QModelIndex& index) { lvwStat_ItemClick(index.row()); });
    connect(lblSave, &CommandLabel::clicked, this, &MarkListWindow::lblSave_Click);
    connect(lblPreview, &CommandLabel::clicked, this, &MarkListWindow::lblPreview_Click);
    connect(lblExit, &CommandLabel::clicked, this, &MarkListWindow::lblExit_Click);
}

void MarkListWindow::buildWindow(const Texts& texts)
{
    lvwStat = new QTreeView(this);
    lvwStat->setObjectName("lvwStat");
    lvwStat->setModel(m_model);
    lvwStat->setRootIsDecorated(false);
    lvwStat->setUniformRowHeights(true);
    lvwStat->setAllColumnsShowFocus(true);
    lvwStat->setSortingEnabled(false);
    lvwStat->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwStat->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwStat->header()->setStretchLastSection(false);
    // Number and Name are shown as stored, padded with blanks; the columns
    // fit their texts (fitColumns), and the blanks are never ended with "...".
    lvwStat->setTextElideMode(Qt::ElideNone);
    // The checked rows stand out in their own colour; the selection is only
    // a frame-like tint so it does not hide that colour.
    lvwStat->setStyleSheet("QTreeView::item:selected { background: rgba(0, 90, 200, 60); color: black; }");

    auto* fieldBlock = new QWidget(this);
    auto* fieldGrid = new QGridLayout(fieldBlock);
    fieldGrid->setContentsMargins(0, 0, 0, 0);
    fieldGrid->setHorizontalSpacing(kFieldGap);
    fieldGrid->setVerticalSpacing(0);
    const QStringList titles = markColumnTitles();
    for (int column = 0; column < MarkColumnCount; ++column) {
        auto* caption = new PlainLabel(titles[column], fieldBlock);
        QFont small = caption->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        caption->setFont(small);
        auto* field = new QLineEdit(fieldBlock);
        field->setObjectName(kFieldNames[column]);
        field->setReadOnly(true);
        field->setToolTip(titles[column]);
        fieldGrid->addWidget(caption, 0, column);
        fieldGrid->addWidget(field, 1, column);
        fields[column] = field;
    }
    fieldGrid->setColumnStretch(MarkColumnCount, 1);
    txtID = fields[ColId];
    txtNumber = fields[ColNumber];
    txtName = fields[ColName];
    txtChk = fields[ColChkFav];
    txtRsGr1 = fields[ColRsGr1];
    txtRsGr2 = fields[ColChkGr1];
    txtRsGr3 = fields[ColRsGr3];
    txtRsGr4 = fields[ColRsGr4];
    txtRsGr5 = fields[ColRsGr5];
    txtAction = fields[ColChangeDate];
    txtID->setText(kNoRowChosen);
    fitColumns();

    lblStatus = new PlainLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setMinimumHeight(22);
    lblStatus->setWordWrap(true);

    lblSave = new CommandLabel("lblSave", texts.saveCaption, texts.saveTip, this);
    lblPreview = new CommandLabel("lblPreview", "Preview", texts.previewTip, this);
    lblExit = new CommandLabel("lblExit", "Exit", texts.exitTip, this);
    m_commands = new QHBoxLayout;
    for (CommandLabel* command : {lblSave, lblPreview, lblExit}) {
        command->setMinimumWidth(90);
        m_commands->addWidget(command);
    }
    m_commands->addStretch(1);

    m_grid = new QGridLayout(this);
    m_grid->addWidget(lvwStat, 1, 0);
    m_grid->addWidget(fieldBlock, 2, 0);
    m_grid->addWidget(lblStatus, 4, 0, 1, 2);
    m_grid->addLayout(m_commands, 5, 0, 1, 2);
    m_grid->setRowStretch(1, 1);
    m_grid->setColumnStretch(0, 1);
}

void MarkListWindow::showEvent(QShowEvent* event)
{
    layout()->activate();
    setMinimumHeight(std::max(minimumHeight(), layout()->totalHeightForWidth(minimumWidth())));
    QDialog::showEvent(event);
}

void MarkListWindow::setHeading(QWidget* heading)
{
    m_grid->addWidget(heading, 0, 0, 1, 2);
}

void MarkListWindow::setSidePanel(QWidget* panel)
{
    m_grid->addWidget(panel, 1, 1, 2, 1);
}

void MarkListWindow::setHelp(QWidget* help)
{
    m_grid->addWidget(help, 3, 0, 1, 2);
}

void MarkListWindow::insertCommand(int index, QWidget* command)
{
    command->setMinimumWidth(90);
    m_commands->insertWidget(index, command);
}

void MarkListWindow::loadList()
{
    const QString path = m_state.folder.file("\\" + kPhonebookName);
    const PhonebookContents contents = readPhonebook(path);
    if (!contents.error.isEmpty())
        m_dialogs.warn(QStringLiteral("The list cannot be loaded: %1 cannot be read (%2).\n\n"
                                      "The list stays empty; nothing can be saved until the file can be read.")
                           .arg(QDir::toNativeSeparators(path), contents.error));
    m_model->load(contents.records);
    fitColumns();
    sortByName();
    m_state.CheckState = m_model->table().checkState();
    lblSave->setEnabled(false);
    if (m_chosen >= m_model->table().size())
        m_chosen = -1;
    showStatus();
}

void MarkListWindow::sortByName()
{
    m_model->sortByName();
}

void MarkListWindow::onCheckChanged()
{
    lblSave->setEnabled(true);
    m_state.CheckState = m_model->table().checkState();
    showStatus();
}

void MarkListWindow::showStatus(const QString& extra, const QColor& colour)
{
    const MarkTable& table = m_model->table();
    QString text = QStringLiteral("%1 subscribers, %2 %3").arg(table.size()).arg(table.checkedCount())
                       .arg(table.design().markedNoun);
    if (table.hasUnsavedChanges())
        text += QStringLiteral(" - changes not saved yet");
    if (!extra.isEmpty())
        text = extra;
    lblStatus->setText(text);
    QPalette palette = lblStatus->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblStatus->setPalette(palette);
}

void MarkListWindow::lvwStat_ItemClick(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_chosen = m_model->positionAt(row);
    showRecordFields(m_chosen);
}

void MarkListWindow::showRecordFields(int position)
{
    for (int column = 0; column < MarkColumnCount; ++column) {
        fields[column]->setText(m_model->table().text(position, column));
        fields[column]->setCursorPosition(0); // a text too long shows its start
    }
}

// Each column as wide as its heading and its widest cell (the design's
// width at least), and each row field under it as wide, so the field too
// shows the column's widest text whole.
void MarkListWindow::fitColumns()
{
    const MarkTable& table = m_model->table();
    QList<int> least;
    for (int column = 0; column < MarkColumnCount; ++column) {
        const QLineEdit* field = fields[column];
        const int widest = widestText(field->font(), int(table.size()),
                                      [&](int position) { return table.text(position, column); }).width;
        // What a line edit needs around a text: its margins and frame.
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
        const QMargins margins = field->textMargins();
        const QSize text(widest + 4 + margins.left() + margins.right(), field->fontMetrics().height());
        const int fieldWidth = field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, field).width();
        least << std::max({twips(markColumnWidthTwips(column)) + (column == ColId ? checkBoxRoom(lvwStat) : 0),
                           fieldWidth + kFieldGap, 36 + kFieldGap});
    }
    lvwStat->setMinimumSize(fitColumnsToContents(lvwStat, least) + 24, 300);
    for (int column = 0; column < MarkColumnCount; ++column)
        fields[column]->setFixedWidth(lvwStat->columnWidth(column) - kFieldGap);
}

void MarkListWindow::lblSave_Click()
{
    lblSave->setEnabled(false);
    sortByName();
    // The check state is the one of the rows shown, whatever happened to
    // the shared table meanwhile.
    m_state.CheckState = m_model->table().checkState();
    QString error;
    const std::optional<SavedMarks> result =
        saveMarks(m_state.folder, m_model->table().design().mark, m_state.CheckState, m_model->table().records(),
                  &error);
    if (!result) {
        m_dialogs.warn(QStringLiteral("The %1 could not be saved.\n\n%2\n\nNothing was changed on disk, and your "
                                      "marks are still shown here. Put the file right, then press Save again.")
                           .arg(m_model->table().design().markedNoun, error));
        lblSave->setEnabled(true);
        showStatus("Not saved: " + error, kFailed);
        return;
    }
    // The fields show the record as it now stands in the file.
    m_model->load(result->records);
    sortByName();
    if (m_chosen >= 0 && m_chosen < result->records.size())
        showRecordFields(m_chosen);
    showStatus(QStringLiteral("Saved: %1 %2").arg(m_model->table().checkedCount())
                   .arg(m_model->table().design().markedNoun), kDone);
    saved(*result);
}

bool MarkListWindow::mayDropChanges(const QString& question)
{
    if (!m_model->table().hasUnsavedChanges())
        return true;
    return m_dialogs.message(question, Dialogs::Icon::Question, Dialogs::Buttons::YesNo, Dialogs::Answer::No)
           == Dialogs::Answer::Yes;
}

void MarkListWindow::lblPreview_Click()
{
    if (!mayDropChanges(QStringLiteral("The changed marks are not saved yet.\n"
                                       "Load the list again from %1 and drop them?").arg(kPhonebookName)))
        return;
    loadList();
}

void MarkListWindow::lblExit_Click()
{
    if (!mayDropChanges(QStringLiteral("The changed marks are not saved yet.\nClose the window and drop them?")))
        return;
    QDialog::reject();
}

void MarkListWindow::reject()
{
    lblExit_Click();
}
