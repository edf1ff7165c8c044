#include "lists/frmHeader.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/ListColumns.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"
#include "lists/HeaderTable.h"
#include "lists/MarkListWindow.h"
#include "lists/MarkSaving.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

// lvwHeader: one row per record, receivers checked and showing their number
// and name; "Numero" and "Nome" show them as the table prints them. Sorted
// by name with the rows without a name (the non-receivers) at the end, so
// the receivers are in sight.
class HeaderListModel : public QAbstractTableModel {
public:
    enum Column { ColId, ColNumber, ColName, ColNumero, ColNome, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void load(QVector<PhonebookRecord> records)
    {
        beginResetModel();
        m_records = std::move(records);
        m_order.resize(m_records.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        endResetModel();
    }

    void sortByName()
    {
        beginResetModel();
        QVector<QString> folded(m_records.size());
        for (qsizetype i = 0; i < m_records.size(); ++i)
            folded[i] = isReceiver(i) ? m_records[i].Name.toCaseFolded() : QString();
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            if (isReceiver(a) != isReceiver(b))
                return isReceiver(a);
            const int byFolded = folded[a].compare(folded[b]);
            if (byFolded != 0)
                return byFolded < 0;
            return m_records[a].Name.compare(m_records[b].Name) < 0;
        });
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_records.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int position = m_order[index.row()];
        const PhonebookRecord& record = m_records[position];
        if (role == Qt::CheckStateRole && index.column() == ColId)
            return isReceiver(position) ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case ColId: return QString::number(record.ID);
        case ColNumber: return isReceiver(position) ? record.Number : QString();
        case ColName: return isReceiver(position) ? record.Name : QString();
        case ColNumero: return isReceiver(position) ? record.Number.trimmed() : QString();
        case ColNome: return isReceiver(position) ? header::tableName(record.Name) : QString();
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const QStringList kTitles = {"ID", "Number", "Name", "Numero", "Nome"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return kTitles.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    bool isReceiver(int position) const { return m_records[position].RsGr2 == 1; }

    QVector<PhonebookRecord> m_records;
    QVector<int> m_order;
};

namespace {

constexpr int kColumnTwips[HeaderListModel::ColumnCount] = {600, 1000, 3100, 1000, 3100};

const char* const kExplanations[] = {
    "Generate Rundsenden Header with receivers list WySiWyG",
    "Creates a list of receivers from the Rundsenden Receivers Table previously set.",
    "This list can be send to a teleprinter and / or puncher automaticaly or by hand.",
    "If you use the automated Rundsenden Tool this list will be send automaticaly.",
};

} // namespace

frmHeader::frmHeader(AppState& state, Dialogs& dialogs, EditorOpener openEditor, QWidget* parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_openEditor(std::move(openEditor)),
      m_model(new HeaderListModel(this))
{
    setObjectName("frmHeader");
    setWindowTitle(" Quillnet Header Rundsenden List ");
    buildWindow();
    connect(cmdHeader, &QPushButton::clicked, this, &frmHeader::cmdHeader_Click);
    connect(lblExit, &CommandLabel::clicked, this, &frmHeader::lblExit_Click);
    cmdHeader_Click();
}

frmHeader::~frmHeader() = default;

void frmHeader::buildWindow()
{
    auto* explanations = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* label = new PlainLabel(kExplanations[i], this);
        label->setObjectName(QStringLiteral("Label_%1").arg(i));
        label->setWordWrap(true);
        if (i == 0) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        explanations->addWidget(label);
    }

    lvwHeader = new QTreeView(this);
    lvwHeader->setObjectName("lvwHeader");
    lvwHeader->setModel(m_model);
    lvwHeader->setRootIsDecorated(false);
    lvwHeader->setUniformRowHeights(true);
    lvwHeader->setSortingEnabled(false);
    lvwHeader->header()->setStretchLastSection(false);
    lvwHeader->setTextElideMode(Qt::ElideNone);
    fitColumns();

    lstRSend = new QListWidget(this);
    lstRSend->setObjectName("lstRSend");
    QFont teleprinter = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lstRSend->setFont(teleprinter);
    const int previewWidth = QFontMetrics(teleprinter).horizontalAdvance(header::ruler()) + 40;
    lstRSend->setMinimumSize(previewWidth, 220);

    cmdHeader = new QPushButton("Elaborate", this);
    cmdHeader->setObjectName("cmdHeader");
    cmdHeader->setAutoDefault(false);
    lblExit = new CommandLabel("lblExit", "Exit", "Opens the receiver list in the editor and closes this window",
                               this);
    lblExit->setMinimumWidth(90);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdHeader);
    commands->addWidget(lblExit);
    commands->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addLayout(explanations, 0, 0, 1, 2);
    grid->addWidget(lvwHeader, 1, 0);
    grid->addWidget(lstRSend, 1, 1);
    grid->addLayout(commands, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

bool frmHeader::cmdHeader_Click()
{
    bool ok = true;
    const QString phonebookPath = m_state.folder.file("\\" + kPhonebookName);
    const PhonebookContents contents = readPhonebook(phonebookPath);
    if (!contents.error.isEmpty()) {
        m_dialogs.warn(QStringLiteral("The receivers cannot be read: %1 cannot be read (%2).\n\n"
                                      "%3 has not been changed.")
                           .arg(QDir::toNativeSeparators(phonebookPath), contents.error, kHeaderFileName));
        ok = false;
    }

    m_tableLines = header::tableLines(contents.records);
    lstRSend->clear();
    lstRSend->addItems(header::previewLines(m_state.ConfigLines.value(2), m_tableLines));
    m_model->load(contents.records);
    m_model->sortByName();
    fitColumns();

    if (!ok)
        return false;
    const QString headerPath = m_state.folder.file("\\" + kHeaderFileName);
    QString error;
    if (const auto refused = refusedWrite(headerPath))
        error = *refused;
    else if (!writeTextFileAtomic(headerPath, header::fileText(m_tableLines), &error))
        error = QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(headerPath), error);
    if (!error.isEmpty()) {
        m_dialogs.warn(QStringLiteral("The broadcast header could not be saved.\n\n%1\n\n"
                                      "The preview shows the header; the file keeps its earlier content.")
                           .arg(error));
        return false;
    }
    return true;
}

// Each column as wide as its heading and its widest cell, the design's
// width at least.
void frmHeader::fitColumns()
{
    QList<int> design;
    for (int column = 0; column < HeaderListModel::ColumnCount; ++column)
        design << twips(kColumnTwips[column]) + (column == 0 ? checkBoxRoom(lvwHeader) : 0);
    lvwHeader->setMinimumSize(fitColumnsToContents(lvwHeader, design) + 24, 220);
}

void frmHeader::lblExit_Click()
{
    m_state.EditFile = m_state.folder.file("\\" + kReceiverFileName);
    m_state.EditMode = kReceiverFileEditMode;
    if (m_openEditor)
        m_openEditor(m_state.EditFile, m_state.EditMode);
    accept();
}
