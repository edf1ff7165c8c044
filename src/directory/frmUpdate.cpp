#include "directory/frmUpdate.h"

#include "core/AppState.h"
#include "core/DateText.h"
#include "core/Dialogs.h"
#include "core/EventWait.h"
#include "core/ListColumns.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kBlack(0, 0, 0);

constexpr int kFlushIntervalMs = 100;
// The number, name and count fields change at most this often; a slower
// download shows every entry, a fast one the latest at 25 per second.
constexpr int kDisplayIntervalMs = 40;

// A row of the list. Columns sort as text, character by character.
class DirectoryItem : public QTreeWidgetItem {
public:
    explicit DirectoryItem(const QStringList& texts) : QTreeWidgetItem(texts, QTreeWidgetItem::UserType) {}

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : frmUpdate::ColName;
        // As text, character by character: the order the phonebook file is
        // kept in and the list windows sort by.
        return text(column) < other.text(column);
    }
};

// The value of a flag column as the file stores it: the text's leading
// number, rounded, held within 16 bits.
qint16 flagValue(const QString& text)
{
    const double value = std::nearbyint(leadingNumber(text));
    return qint16(std::clamp(value, -32768.0, 32767.0));
}

PhonebookRecord recordFromRow(const QTreeWidgetItem& row, int id)
{
    PhonebookRecord record;
    record.ID = qint16(std::clamp(id, -32768, 32767));
    record.setNumber(row.text(frmUpdate::ColNumber));
    record.setName(row.text(frmUpdate::ColName));
    record.Check = flagValue(row.text(frmUpdate::ColCheck));
    record.RsGr1 = flagValue(row.text(frmUpdate::ColRsGr1));
    record.RsGr2 = flagValue(row.text(frmUpdate::ColRsGr2));
    record.RsGr3 = flagValue(row.text(frmUpdate::ColRsGr3));
    record.RsGr4 = flagValue(row.text(frmUpdate::ColRsGr4));
    record.SubsNr = flagValue(row.text(frmUpdate::ColSubsNr));
    record.ChangeDate = row.text(frmUpdate::ColChangeDate);
    return record;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmUpdate::frmUpdate(AppState& state, Dialogs& dialogs, const DirectoryOptions& options, QWidget* parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_options(options), m_client(dialogs)
{
    setObjectName("frmUpdate");
    setWindowTitle(" Quillnet Phonebook Update Utility ");
    m_client.setLimits(options.limits);
    buildWindow();

    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &frmUpdate::flushPendingRows);

    connect(lblRetrieve, &CommandLabel::clicked, this, &frmUpdate::lblRetrieve_Click);
    connect(lblExit, &CommandLabel::clicked, this, &frmUpdate::lblExit_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmUpdate::cmdLoad_Click);
    connect(cmdSort, &QPushButton::clicked, this, &frmUpdate::cmdSort_Click);
    connect(cmdTesting, &QPushButton::clicked, this, &frmUpdate::cmdTesting_Click);
    connect(cmdNewPhonebook, &QPushButton::clicked, this, &frmUpdate::cmdNewPhonebook_Click);
    connect(lvwStat->header(), &QHeaderView::sectionClicked, this, &frmUpdate::lvwStat_ColumnClick);

    setStatus("Press Retrieve to start download", kBlack);
    setPhase(Phase::Idle);
}

frmUpdate::~frmUpdate()
{
    m_client.abort();
    qDeleteAll(m_pending);
}

void frmUpdate::buildWindow()
{
    lvwStat = new QTreeWidget(this);
    lvwStat->setObjectName("lvwStat");
    lvwStat->setColumnCount(ColumnCount);
    lvwStat->setHeaderLabels({"ID", "Number", "Name", "Check", "RsGr1", "RsGr2", "RsGr3", "RsGr4", "SubsNr",
                              "Change Date"});
    const int widthsTwips[ColumnCount] = {600, 1000, 3100, 800, 800, 800, 800, 800, 800, 1200};
    for (int column = 0; column < ColumnCount; ++column)
        m_designWidths << twips(widthsTwips[column]);
    lvwStat->setRootIsDecorated(false);
    lvwStat->setUniformRowHeights(true);
    lvwStat->setSortingEnabled(false);
    lvwStat->header()->setSectionsClickable(true);
    lvwStat->setAlternatingRowColors(true);
    lvwStat->setMinimumHeight(360);
    fitColumns();

    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Text2->setReadOnly(true);
    // Room for a name of the directory's 40 characters.
    Text2->setMinimumWidth(Text2->fontMetrics().averageCharWidth() * 40);
    lstFav = new QListWidget(this);
    lstFav->setObjectName("lstFav");
    lstRSend = new QListWidget(this);
    lstRSend->setObjectName("lstRSend");

    auto* side = new QVBoxLayout;
    side->addWidget(new PlainLabel("Number", this));
    side->addWidget(Text1);
    side->addWidget(new PlainLabel("Name", this));
    side->addWidget(Text2);
    side->addWidget(new PlainLabel("Favorites", this));
    side->addWidget(lstFav, 1);
    side->addWidget(new PlainLabel("Rundsenden", this));
    side->addWidget(lstRSend, 1);

    lblCount = new PlainLabel(this);
    lblCount->setObjectName("lblCount");
    cmdLoad = makeButton("cmdLoad", "Load", this);
    cmdSort = makeButton("cmdSort", "Sort", this);
    cmdTesting = makeButton("cmdTesting", "save", this);
    cmdNewPhonebook = makeButton("cmdNewPhonebook", "New Phonebook", this);
    auto* tools = new QHBoxLayout;
    tools->addWidget(lblCount, 1);
    for (QPushButton* button : {cmdLoad, cmdSort, cmdTesting, cmdNewPhonebook})
        tools->addWidget(button);

    lblStatus = new PlainLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(40);
    QFont statusFont = lblStatus->font();
    statusFont.setBold(true);
    lblStatus->setFont(statusFont);

    lblRetrieve = new CommandLabel("lblRetrieve", "Retrieve", "Download the subscriber list", this);
    lblExit = new CommandLabel("lblExit", "EXIT", "Close this window", this);
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(lblRetrieve);
    commands->addWidget(lblExit);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lvwStat, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addLayout(tools, 1, 0, 1, 2);
    grid->addWidget(lblStatus, 2, 0, 1, 2);
    grid->addLayout(commands, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
}

void frmUpdate::setPhase(Phase phase)
{
    m_phase = phase;
    const bool idle = phase == Phase::Idle;
    const bool busy = phase == Phase::Downloading || phase == Phase::Writing;
    lblRetrieve->setEnabled(idle);
    lblExit->setEnabled(idle);
    cmdTesting->setEnabled(idle);
    for (QWidget* command : {static_cast<QWidget*>(cmdLoad), static_cast<QWidget*>(cmdSort),
                             static_cast<QWidget*>(cmdNewPhonebook)})
        command->setEnabled(!busy);
    lvwStat->header()->setSectionsClickable(!busy);
}

void frmUpdate::setStatus(const QString& text, const QColor& color)
{
    lblStatus->setText(text);
    QPalette palette = lblStatus->palette();
    palette.setColor(QPalette::WindowText, color);
    lblStatus->setPalette(palette);
}

QColor frmUpdate::statusColor() const
{
    return lblStatus->palette().color(QPalette::WindowText);
}

bool frmUpdate::loadMarks()
{
    m_tables.clear();
    lstFav->clear();
    lstRSend->clear();
    const PhonebookContents contents = readPhonebook(DirectoryFiles::in(m_state.folder).phonebook);
    if (!contents.error.isEmpty()) {
        m_dialogs.warn("The favourites and Rundsenden marks cannot be read from phonebook.txt: " + contents.error);
        return false;
    }
    m_tables.load(contents.records);
    for (const QString& number : std::as_const(m_tables.FavNumbers)) {
        if (!number.isEmpty())
            lstFav->addItem(number);
    }
    for (const QString& number : std::as_const(m_tables.RSendNumbers)) {
        if (!number.isEmpty())
            lstRSend->addItem(number);
    }
    return true;
}

void frmUpdate::cmdLoad_Click()
{
    loadMarks();
}

void frmUpdate::lblRetrieve_Click()
{
    if (m_phase != Phase::Idle)
        return;
    setPhase(Phase::Downloading);
    // Without the old marks a download would drop the user's favourites and
    // Rundsenden receivers, so an unreadable phonebook stops here.
    if (!loadMarks()) {
        setPhase(Phase::Idle);
        return;
    }
    qDeleteAll(m_pending);
    m_pending.clear();
    lvwStat->clear();
    lblCount->clear();
    m_display.invalidate();
    m_latestShown = true;
    m_today = formatDateText(m_state.now(), "dd.mm.yyyy");
    setStatus(" Retrieving Subscribers List from " + m_state.DirectoryServer + " Please wait ... ", kRed);

    const bool received = m_client.download(m_state.DirectoryServer, m_options.port,
                                            [this](const DirectoryEntry& entry) { addEntry(entry); });
    m_flushTimer.stop();
    flushPendingRows();
    if (m_closing)
        return;
    fitColumns();
    if (!received) {
        setPhase(Phase::Failed);
        return;
    }
    setPhase(Phase::Writing);
    setStatus(" Saving Updated Data - please wait ", kGreen);
    writeDirectory();
    setPhase(Phase::Idle);
}

void frmUpdate::addEntry(const DirectoryEntry& entry)
{
    const int count = m_client.RecordCount();
    m_pending.append(new DirectoryItem({QString(), entry.number, entry.name,
                                        m_tables.isFavourite(entry.number) ? "1" : "0", "0",
                                        m_tables.isReceiver(entry.number) ? "1" : "0", "0", "0",
                                        QString::number(count), m_today}));
    m_latest = entry;
    m_latestShown = false;
    if (!m_display.isValid() || m_display.hasExpired(kDisplayIntervalMs))
        showLatestEntry();
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
    emit entryReceived(count);
}

void frmUpdate::showLatestEntry()
{
    if (m_latestShown)
        return;
    // Laying out text is the costliest part of taking an entry.
    Text1->setText(m_latest.number);
    Text2->setText(m_latest.name);
    lblCount->setText(QStringLiteral("Entries received: %1").arg(m_client.RecordCount()));
    m_latestShown = true;
    m_display.start();
}

void frmUpdate::flushPendingRows()
{
    showLatestEntry();
    if (m_pending.isEmpty())
        return;
    // The first rows of a list set the columns' widths until it is complete
    // (measuring every row at every flush would slow the download).
    const bool first = lvwStat->topLevelItemCount() == 0;
    lvwStat->addTopLevelItems(m_pending);
    m_pending.clear();
    if (first)
        fitColumns();
}

void frmUpdate::sortByName()
{
    lvwStat->sortItems(ColName, Qt::AscendingOrder);
}

void frmUpdate::pause(int ms)
{
    if (ms <= 0)
        return;
    EventWait::forMs(ms);
}

bool frmUpdate::writeDirectory()
{
    setStatus(" Sorting Phonebook - please wait", kMagenta);
    sortByName();
    pause(m_options.sortPauseMs);

    QVector<PhonebookRecord> records;
    const int rows = lvwStat->topLevelItemCount();
    records.reserve(rows);
    for (int row = 0; row < rows; ++row)
        records.append(recordFromRow(*lvwStat->topLevelItem(row), row + 1));

    QString error;
    if (!writeDirectoryFiles(DirectoryFiles::in(m_state.folder), records, &error)) {
        setStatus(" Saving failed - the phonebook was left as it was ", kRed);
        m_dialogs.warn("The phonebook could not be saved: " + error
                       + "\nphonebook.txt, phonebook.csv and phonebook-backup.txt were left as they were.");
        return false;
    }
    setStatus(" Update complete - press EXIT to close window. A Phonebook.csv File was generated to be used with "
              "Microsoft Excel for personal use with "
                  + vbStr(qint64(m_client.RecordCount())) + " active numbers",
              kBlack);
    return true;
}

void frmUpdate::cmdSort_Click()
{
    if (m_phase == Phase::Downloading || m_phase == Phase::Writing)
        return;
    const QString text = lblStatus->text();
    const QColor color = statusColor();
    const Phase phase = m_phase;
    setPhase(Phase::Writing);
    setStatus(" Sorting Phonebook - please wait", kMagenta);
    sortByName();
    pause(m_options.sortPauseMs);
    setStatus(text, color);
    setPhase(phase);
}

void frmUpdate::cmdTesting_Click()
{
    if (m_phase != Phase::Idle)
        return;
    // One click on an empty list would leave an empty phonebook: ask first.
    if (lvwStat->topLevelItemCount() == 0
        && m_dialogs.message("The list is empty. Saving it replaces phonebook.txt with an empty phonebook and "
                             "removes every favourite and Rundsenden mark. Save the empty list?",
                             Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo, Dialogs::Answer::No)
               != Dialogs::Answer::Yes)
        return;
    setPhase(Phase::Writing);
    writeDirectory();
    setPhase(Phase::Idle);
}

void frmUpdate::cmdNewPhonebook_Click()
{
    if (m_phase == Phase::Downloading || m_phase == Phase::Writing)
        return;
    const QString today = formatDateText(m_state.now(), "dd.mm.yyyy");
    QList<QTreeWidgetItem*> rows;
    rows.reserve(1000);
    for (int i = 1; i <= 1000; ++i) {
        const QString number = QString::number(QRandomGenerator::global()->bounded(5000));
        rows.append(new DirectoryItem({QString::number(i), number, "Name", "0", "0", "0", "0", "0", "0", today}));
    }
    lvwStat->addTopLevelItems(rows);
    fitColumns();
}

// Every column as wide as its heading and its widest text (the design's
// width at least), and the list wide enough to show them all.
void frmUpdate::fitColumns()
{
    const int columns = fitColumnsToContents(lvwStat, m_designWidths);
    lvwStat->setMinimumWidth(columns + lvwStat->verticalScrollBar()->sizeHint().width() + 2 * lvwStat->frameWidth());
}

void frmUpdate::lvwStat_ColumnClick(int column)
{
    if (m_phase == Phase::Downloading || m_phase == Phase::Writing)
        return;
    if (column >= 0 && column < ColumnCount)
        lvwStat->sortItems(column, Qt::AscendingOrder);
}

void frmUpdate::lblExit_Click()
{
    if (m_phase != Phase::Idle)
        return;
    close();
}

bool frmUpdate::closingRefused()
{
    // The files are being replaced: that takes a moment and must not be cut.
    if (m_phase == Phase::Writing)
        return true;
    // Closing during a download stops it; nothing is written then.
    if (m_phase == Phase::Downloading) {
        m_closing = true;
        m_client.abort();
    }
    return false;
}

void frmUpdate::closeEvent(QCloseEvent* event)
{
    if (closingRefused()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmUpdate::reject()
{
    if (!closingRefused())
        QDialog::reject();
}
