#include "archive/ArchiveWindow.h"

#include "archive/ArchiveListModel.h"
#include "archive/ArchiveTextLoader.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent, const QString& name = QString())
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QPushButton* button(const QString& name, const QString& caption, const QString& toolTip, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    return button;
}

} // namespace

PaperTextView::PaperTextView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void PaperTextView::setPaper(const QPixmap& paper)
{
    m_paper = paper;
    applyPaper();
}

void PaperTextView::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    applyPaper();
}

void PaperTextView::applyPaper()
{
    QPalette colours = palette();
    if (m_paper.isNull() || viewport()->size().isEmpty()) {
        colours.setBrush(QPalette::Base, QPalette().brush(QPalette::Base));
        colours.setColor(QPalette::Text, QPalette().color(QPalette::Text));
    } else {
        // The sheet stretched over the whole view: a texture, no edges.
        colours.setBrush(QPalette::Base, QBrush(m_paper.scaled(viewport()->size(), Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation)));
        colours.setColor(QPalette::Text, QColor(0x20, 0x20, 0x20));
    }
    setPalette(colours);
}

ArchiveWindow::ArchiveWindow(ArchiveStore store, QWidget* owner)
    : QWidget(owner, Qt::Window), m_store(std::move(store)), m_model(new ArchiveListModel(this)),
      m_loader(new ArchiveTextLoader(this))
{
    setObjectName("frmArchive");
    setWindowTitle("Message Archive");
    resize(920, 660);

    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    txtArchiveSearch = new QLineEdit(this);
    txtArchiveSearch->setObjectName("txtArchiveSearch");
    txtArchiveSearch->setPlaceholderText("Any text of the messages, their date or time");
    txtArchiveSearch->setClearButtonEnabled(true);
    lblArchiveCount = plainLabel(QString(), this, "lblArchiveCount");
    searchRow->addWidget(plainLabel("Search:", this));
    searchRow->addWidget(txtArchiveSearch, 1);
    searchRow->addWidget(lblArchiveCount);
    layout->addLayout(searchRow);

    auto* split = new QSplitter(Qt::Vertical, this);
    lvwArchive = new QTableView(split);
    lvwArchive->setObjectName("lvwArchive");
    lvwArchive->setModel(m_model);
    lvwArchive->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwArchive->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwArchive->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwArchive->setWordWrap(false);
    lvwArchive->verticalHeader()->hide();
    lvwArchive->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvwArchive->horizontalHeader()->setStretchLastSection(true);
    lvwArchive->setColumnWidth(ArchiveListModel::TimeColumn, 170);
    lvwArchive->setColumnWidth(ArchiveListModel::LengthColumn, 90);
    txtArchiveMessage = new PaperTextView(split);
    txtArchiveMessage->setObjectName("txtArchiveMessage");
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    layout->addWidget(split, 1);

    auto* commands = new QHBoxLayout;
    cmdSendAgain = button("cmdSendAgain", "Send Again", "Sends the message again, as Send Text File sends a file", this);
    cmdSaveText = button("cmdSaveText", "Save As Text", "Saves the message as a text file", this);
    cmdPrintMessage = button("cmdPrintMessage", "Print", "Prints the message", this);
    cmdMessagePdf = button("cmdMessagePdf", "Export PDF", "Saves the message as a PDF file", this);
    for (QPushButton* command : {cmdSendAgain, cmdSaveText, cmdPrintMessage, cmdMessagePdf})
        commands->addWidget(command);
    commands->addStretch(1);
    layout->addLayout(commands);

    auto* settingsRow = new QHBoxLayout;
    spnQuietSeconds = new QSpinBox(this);
    spnQuietSeconds->setObjectName("spnQuietSeconds");
    spnQuietSeconds->setRange(1, 3600);
    spnQuietSeconds->setSuffix(" s");
    spnQuietSeconds->setToolTip("A message ends when the line has been quiet this long");
    chkPaperPicture = new QCheckBox("Paper picture on print and PDF", this);
    chkPaperPicture->setObjectName("chkPaperPicture");
    chkNotice = new QCheckBox("Desktop notice when a message starts", this);
    chkNotice->setObjectName("chkNotice");
    chkNotice->setToolTip("Only while the terminal window is not the active window");
    cmdArchiveClose = button("cmdArchiveClose", "Close", "Closes the archive window", this);
    settingsRow->addWidget(plainLabel("A message ends after", this));
    settingsRow->addWidget(spnQuietSeconds);
    settingsRow->addWidget(plainLabel("of quiet", this));
    settingsRow->addSpacing(16);
    settingsRow->addWidget(chkPaperPicture);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(chkNotice);
    settingsRow->addStretch(1);
    settingsRow->addWidget(cmdArchiveClose);
    layout->addLayout(settingsRow);
    lblArchiveStatus = plainLabel(QString(), this, "lblArchiveStatus");
    layout->addWidget(lblArchiveStatus);

    connect(txtArchiveSearch, &QLineEdit::textChanged, this, [this](const QString& query) {
        const std::optional<ArchivedMessage> chosen = chosenMessage();
        m_model->setQuery(query);
        // The chosen message stays chosen while the search still finds it,
        // else the first one found is.
        int row = m_model->rowCount() > 0 ? 0 : -1;
        for (int i = 0; chosen && i < m_model->rowCount(); ++i) {
            if (m_model->messageAt(i).file == chosen->file)
                row = i;
        }
        chooseRow(row);
        showCount();
    });
    connect(lvwArchive->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ArchiveWindow::showChosen);
    connect(m_loader, &ArchiveTextLoader::loaded, this, [this](int first, const QStringList& texts) {
        m_model->setTexts(first + m_prependedSinceLoad, texts);
        showCount();
    });
    connect(m_loader, &ArchiveTextLoader::finished, this, [this] {
        showCount();
        emit textsLoaded();
    });
    connect(cmdSendAgain, &QPushButton::clicked, this, &ArchiveWindow::sendAgainRequested);
    connect(cmdSaveText, &QPushButton::clicked, this, &ArchiveWindow::saveTextRequested);
    connect(cmdPrintMessage, &QPushButton::clicked, this, &ArchiveWindow::printRequested);
    connect(cmdMessagePdf, &QPushButton::clicked, this, &ArchiveWindow::pdfRequested);
    connect(cmdArchiveClose, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes it, as it closes the program's other windows.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
    showChosen();
}

ArchiveWindow::~ArchiveWindow()
{
    m_loader->stop();
}

bool ArchiveWindow::textsLoading() const
{
    return m_loader->running();
}

void ArchiveWindow::reload()
{
    m_loader->stop();
    const ArchiveStore::Listing listing = m_store.list(true);
    m_model->setMessages(listing.messages);
    m_prependedSinceLoad = 0;
    QStringList paths;
    paths.reserve(listing.messages.size());
    for (const ArchivedMessage& message : listing.messages)
        paths.append(m_store.absolute(message.file));
    m_loader->load(paths);
    if (!listing.problem.isEmpty())
        lblArchiveStatus->setText("The index cannot be rebuilt: " + listing.problem);
    else if (listing.indexWritten)
        lblArchiveStatus->setText(QStringLiteral("The index was rebuilt from the files (%1 messages).")
                                      .arg(listing.messages.size()));
    else
        lblArchiveStatus->setText("Archive: " + QDir::toNativeSeparators(m_store.folder()));
    chooseRow(m_model->rowCount() > 0 ? 0 : -1);
    showCount();
}

void ArchiveWindow::addMessage(const ArchivedMessage& message)
{
    const QString text = m_store.readMessage(message).value_or(QString());
    const bool listed = std::any_of(m_model->messages().begin(), m_model->messages().end(),
                                    [&](const ArchivedMessage& m) { return m.file == message.file; });
    const std::optional<ArchivedMessage> chosen = chosenMessage();
    m_model->addMessage(message, text);
    if (!listed && textsLoading())
        ++m_prependedSinceLoad;
    int row = -1;
    for (int i = 0; chosen && i < m_model->rowCount(); ++i) {
        if (m_model->messageAt(i).file == chosen->file)
            row = i;
    }
    chooseRow(row >= 0 ? row : (m_model->rowCount() > 0 ? 0 : -1));
    showCount();
}

std::optional<ArchivedMessage> ArchiveWindow::chosenMessage() const
{
    const QModelIndex current = lvwArchive->selectionModel()->currentIndex();
    if (!current.isValid() || current.row() >= m_model->rowCount())
        return std::nullopt;
    return m_model->messageAt(current.row());
}

void ArchiveWindow::chooseRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        lvwArchive->selectionModel()->clearCurrentIndex();
        lvwArchive->clearSelection();
    } else {
        lvwArchive->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::ClearAndSelect
                                                                                   | QItemSelectionModel::Rows);
    }
    showChosen();
}

void ArchiveWindow::showChosen()
{
    const std::optional<ArchivedMessage> chosen = chosenMessage();
    QString error;
    m_chosenText.clear();
    if (chosen) {
        if (const std::optional<QString> text = m_store.readMessage(*chosen, &error))
            m_chosenText = *text;
        else
            lblArchiveStatus->setText("The message cannot be read: " + error);
    }
    // The screen shows each line end once.
    QString shown = m_chosenText;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    txtArchiveMessage->setPlainText(shown);
    for (QPushButton* command : {cmdSendAgain, cmdSaveText, cmdPrintMessage, cmdMessagePdf})
        command->setEnabled(chosen.has_value());
}

void ArchiveWindow::showCount()
{
    const QLocale locale;
    QString count = m_model->rowCount() == m_model->total()
                        ? QStringLiteral("%1 messages").arg(locale.toString(m_model->total()))
                        : QStringLiteral("%1 of %2 messages").arg(locale.toString(m_model->rowCount()),
                                                                 locale.toString(m_model->total()));
    if (textsLoading() && !m_model->query().trimmed().isEmpty())
        count += QStringLiteral(" (texts read: %1)").arg(locale.toString(m_model->textsKnown()));
    lblArchiveCount->setText(count);
}
