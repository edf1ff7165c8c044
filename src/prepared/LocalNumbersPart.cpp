#include "prepared/LocalNumbersPart.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "link/Guards.h"

#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace localnumbers;

namespace {

const QString kFileName = QStringLiteral("\\LocalTelex.txt");

// Where the list opens on the desk, in twips: over the clock's plate, to the
// desk's right and bottom edges; it moves and grows with the plate.
const QRect kListArea(13455, 45, 18000 - 13455 - 45, 5580 - 90);
// The editor opens over the terminal text window of either skin, 8 pixels
// beyond its right and lower edges, in twips; it grows with the text window.
const QRect kEditorArea(45, 45, 12805 - 45, 4890 - 45);
// The editor shows the entries in two columns of nine.
constexpr int kRowsPerColumn = kEntries / 2;

QFont listFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(11);
    // Not the bold of the panel's title.
    font.setBold(false);
    return font;
}

void paintPanel(QGroupBox* panel)
{
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, QColor(0xECE8DE));
    colours.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(colours);
    QFont title = panel->font();
    title.setBold(true);
    panel->setFont(title);
}

// Children of a bold-titled panel keep the ordinary weight.
void plainWeight(QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(false);
    widget->setFont(font);
}

} // namespace

LocalNumbersPart::LocalNumbersPart(CommandHost& host, Dialler dial, ListsRefresher refreshFavourites,
                                   QObject* parent)
    : QObject(parent), m_host(host), m_dial(std::move(dial)), m_refreshFavourites(std::move(refreshFavourites))
{
    setObjectName("LocalNumbersPart");
    buildList();
    buildEditor();

    lblLocalNumbersShow =
        host.addCommand("Phonebook", "lblLocalNumbersShow", "Local Numbers", "Invokes the Local Numbers List");
    lblEditLocal = host.addCommand("Phonebook", "lblEditLocal", "Edit Local Nr.", "Invokes the Local Numbers Editor");
    connect(lblLocalNumbersShow, &CommandLabel::clicked, this, &LocalNumbersPart::lblLocalNumbersShow_Click);
    connect(lblEditLocal, &CommandLabel::clicked, this, &LocalNumbersPart::lblEditLocal_Click);
}

void LocalNumbersPart::buildList()
{
    frameLocalCalls = new QGroupBox("Special System Numbers", &m_host.desk());
    frameLocalCalls->setObjectName("frameLocalCalls");
    paintPanel(frameLocalCalls);
    auto* layout = new QVBoxLayout(frameLocalCalls);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(0);
    for (int k = 0; k < kEntries; ++k) {
        auto* button = new CommandLabel(QStringLiteral("lblLocalTelex_%1").arg(k), QString(), QString(),
                                        frameLocalCalls);
        button->setFont(listFont());
        button->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        button->setFrameShape(QFrame::NoFrame);
        button->setMargin(0);
        // As high as its caption: the eighteen rows and Exit fill the panel.
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        connect(button, &CommandLabel::clicked, this, [this, k] { lblLocalTelex_Click(k); });
        layout->addWidget(button);
        lblLocalTelex[k] = button;
    }
    layout->addStretch(1);
    lblExitLocalTeleprinters = new CommandLabel("lblExitLocalTeleprinters", "Exit Local Numbers",
                                                "Close Local teleprinters List", frameLocalCalls);
    plainWeight(lblExitLocalTeleprinters);
    layout->addWidget(lblExitLocalTeleprinters, 0, Qt::AlignRight);
    connect(lblExitLocalTeleprinters, &CommandLabel::clicked, this,
            &LocalNumbersPart::lblExitLocalTeleprinters_Click);
    frameLocalCalls->hide();
}

void LocalNumbersPart::buildEditor()
{
    frameLocalTeleprinters = new QGroupBox("Local Numbers Editor", &m_host.desk());
    frameLocalTeleprinters->setObjectName("frameLocalTeleprinters");
    paintPanel(frameLocalTeleprinters);

    auto* grid = new QGridLayout(frameLocalTeleprinters);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    auto* specialNumbers = new PlainLabel("Special Numbers", frameLocalTeleprinters);
    specialNumbers->setObjectName("lblSpecialNumbers");
    grid->addWidget(specialNumbers, 0, 0, 1, 5);

    const QFontMetrics metrics(listFont());
    for (int column = 0; column < 2; ++column) {
        const int left = column * 3;
        auto* head = new PlainLabel("Nr. Description", frameLocalTeleprinters);
        head->setObjectName(QStringLiteral("lblLocalHeads_%1").arg(column));
        plainWeight(head);
        grid->addWidget(head, 1, left, 1, 2);
        for (int row = 0; row < kRowsPerColumn; ++row) {
            const int k = column * kRowsPerColumn + row;
            auto* number = new QLineEdit(frameLocalTeleprinters);
            number->setObjectName(QStringLiteral("txtLocalNumber_%1").arg(k));
            number->setAccessibleName(QStringLiteral("Number %1").arg(k + 1));
            number->setFont(listFont());
            // Wider numbers would spill into the description's columns.
            number->setMaxLength(kNumberWidth);
            number->setFixedWidth(metrics.horizontalAdvance("0000") + 10);
            auto* name = new QLineEdit(frameLocalTeleprinters);
            name->setObjectName(QStringLiteral("txtLocalName_%1").arg(k));
            name->setAccessibleName(QStringLiteral("Description %1").arg(k + 1));
            name->setFont(listFont());
            name->setMinimumWidth(metrics.horizontalAdvance(QString(30, 'x')) + 10);
            grid->addWidget(number, row + 2, left);
            grid->addWidget(name, row + 2, left + 1);
            txtLocalNumber[k] = number;
            txtLocalName[k] = name;
        }
    }
    grid->setColumnMinimumWidth(2, 12);

    auto* help = new PlainLabel("Use only two digit numbers, \notherwise it will not work.\n"
                                "Descriptions should not exceed 30 chrs.",
                                frameLocalTeleprinters);
    help->setObjectName("lblLocalHelp");
    plainWeight(help);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(help, 2, 6, 4, 1);
    lblExitLocalNumbers = new CommandLabel("lblExitLocalNumbers", "Exit Local Numbers Editor",
                                           "Close Local teleprinters editor", frameLocalTeleprinters);
    plainWeight(lblExitLocalNumbers);
    grid->addWidget(lblExitLocalNumbers, kRowsPerColumn + 1, 6, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(kRowsPerColumn + 2, 1);
    connect(lblExitLocalNumbers, &CommandLabel::clicked, this, &LocalNumbersPart::lblExitLocalNumbers_Click);
    frameLocalTeleprinters->hide();
}

QString LocalNumbersPart::path() const
{
    return m_host.state().folder.file(kFileName);
}

Entries LocalNumbersPart::readEntries()
{
    // A missing file is a list not written yet: all entries empty.
    if (!QFile::exists(path()))
        return Entries();
    QString error;
    const std::optional<QString> text = readTextFile(path(), &error);
    if (!text) {
        m_host.dialogs().warn("The local numbers cannot be read from LocalTelex.txt: " + error);
        return Entries();
    }
    return entriesFromText(*text);
}

void LocalNumbersPart::showCaptions(const Entries& entries)
{
    for (int k = 0; k < kEntries; ++k) {
        const QString shown = caption(entries[k]);
        lblLocalTelex[k]->setText(shown);
        // A button without an entry shows only blanks: a screen reader
        // says so.
        lblLocalTelex[k]->setAccessibleName(shown.trimmed().isEmpty() ? QStringLiteral("No local number %1").arg(k + 1)
                                                                      : QString());
    }
}

void LocalNumbersPart::lblLocalNumbersShow_Click()
{
    showCaptions(readEntries());
    m_host.desk().place(frameLocalCalls, kListArea);
    frameLocalCalls->show();
    frameLocalCalls->raise();
}

void LocalNumbersPart::lblLocalTelex_Click(int index)
{
    if (index < 0 || index >= kEntries || !portGuard(m_host))
        return;
    const DialRequest request = dialRequestFor(lblLocalTelex[index]->text());
    m_dial(request.number, request.label);
}

void LocalNumbersPart::lblExitLocalTeleprinters_Click()
{
    frameLocalCalls->hide();
}

void LocalNumbersPart::lblEditLocal_Click()
{
    const Entries entries = readEntries();
    for (int k = 0; k < kEntries; ++k) {
        txtLocalNumber[k]->setText(entries[k].number);
        txtLocalName[k]->setText(entries[k].description);
    }
    showCaptions(entries);
    m_host.desk().place(frameLocalTeleprinters, kEditorArea);
    frameLocalTeleprinters->show();
    frameLocalTeleprinters->raise();
    m_host.desk().hidePanel("frameNumbers");
}

bool LocalNumbersPart::lblExitLocalNumbers_Click()
{
    Entries entries;
    for (int k = 0; k < kEntries; ++k)
        entries[k] = {txtLocalNumber[k]->text(), txtLocalName[k]->text()};
    QString error;
    if (!writeTextFileAtomic(path(), fileText(entries), &error)) {
        m_host.dialogs().warn("The local numbers cannot be saved to LocalTelex.txt: " + error
                              + "\nThe editor stays open with your entries.");
        return false;
    }
    showCaptions(entries);
    frameLocalTeleprinters->hide();
    if (m_refreshFavourites)
        m_refreshFavourites();
    return true;
}
