#include "directory/FavouritesPanel.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"
#include "link/Guards.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The panel opens over the text well, its right edge at the well's right
// edge and its height the desk's, so the clock beside it stays in view. Its
// width is that of its longest favourite; what does not fit in height
// scrolls. Twips of the design.
const QRect kPanelArea(45, FavouritesPanel::kTopTwips, 13005 - 45, 5580 - 2 * FavouritesPanel::kTopTwips);

QFont listFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    return font;
}

// Places the panel as wide as its longest favourite (and the title row),
// with room for the scroll bar, and as high as its rows, or as its word
// on where to mark favourites; never higher than the well, where the rows
// scroll. Measured at the desk's present scale.
void placePanel(Desk& desk, QWidget* frame, const std::array<CommandLabel*, FavouritesPanel::kLabels>& labels)
{
    desk.prepare(frame);
    const auto* layout = static_cast<QBoxLayout*>(frame->layout());
    const QMargins margins = layout->contentsMargins();
    const QFontMetrics metrics(labels[0]->font());
    const int padding = labels[0]->sizeHint().width() - metrics.horizontalAdvance(labels[0]->text());
    int widest = metrics.horizontalAdvance(QString(34, QLatin1Char('0')));
    const int rowSpacing = labels[0]->parentWidget()->layout()->spacing();
    int rows = 0;
    for (const CommandLabel* label : labels) {
        if (label->isHidden())
            continue;
        widest = std::max(widest, metrics.horizontalAdvance(withoutTrailingBlanks(label->text())));
        rows += (rows > 0 ? rowSpacing : 0) + label->sizeHint().height();
    }
    const int scrollBar = frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int inner = std::max(widest + padding + scrollBar + 4, layout->itemAt(0)->sizeHint().width());
    const int width = margins.left() + inner + margins.right();
    const auto* none = frame->findChild<QLabel*>("lblNoFavourites");
    const int body = rows > 0 ? rows : none->heightForWidth(inner);
    const int height = std::min(margins.top() + layout->itemAt(0)->sizeHint().height() + layout->spacing() + body
                                    + margins.bottom(),
                                desk.toDesk(kPanelArea).height());
    // Sizes of the design, which the desk scales.
    const double scale = desk.scale();
    desk.place(frame, kPanelArea, QSize(int(std::ceil(width / scale)), int(std::ceil(height / scale))),
               Qt::AlignRight | Qt::AlignTop);
}

// A label without a favourite shows only its own number: it is left out of
// the panel.
bool isFavourite(const QString& caption, int index)
{
    return caption != vbStr(qint64(index));
}

} // namespace

QString favouriteCaption(const PhonebookRecord& record)
{
    const qsizetype numberLength = withoutTrailingBlanks(record.Number).size();
    const qsizetype gap = std::max<qsizetype>(0, 10 - numberLength);
    return "  " + record.Number + QString(gap, QLatin1Char(' ')) + record.Name;
}

QStringList favouriteCaptions(const QVector<PhonebookRecord>& records)
{
    QStringList captions;
    for (int i = 0; i < FavouritesPanel::kLabels; ++i)
        captions << vbStr(qint64(i));
    int next = 0;
    for (const PhonebookRecord& record : records) {
        if (next == FavouritesPanel::kLabels)
            break;
        if (record.Check != 0)
            captions[next++] = favouriteCaption(record);
    }
    return captions;
}

DialRequest dialRequestFor(const QString& caption)
{
    return {plainNumber(leadingNumber(caption.left(12))), "    " + caption};
}

FavouritesPanel::FavouritesPanel(CommandHost& host, Dialler dial)
    : m_host(host), m_frame(new QWidget(&host.desk())), m_dial(std::move(dial))
{
    m_frame->setObjectName("frameNumbers");
    m_frame->hide();
    m_frame->setAutoFillBackground(true);
    m_frame->setStyleSheet("QWidget#frameNumbers { background: #202830; border: 1px solid #708090; }"
                           "QLabel { color: #e8e8d0; }"
                           "QScrollArea, QWidget#favouriteRows { background: transparent; }");
    const QFont font = listFont();

    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);

    auto* header = new QHBoxLayout;
    auto* title = new PlainLabel("Favorites", m_frame);
    title->setObjectName("lblFavouritesTitle");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    header->addWidget(title);
    header->addStretch(1);
    lblExitNumbers = new CommandLabel("lblExitNumbers", "Close", "Hides the Favorites", m_frame);
    connect(lblExitNumbers, &CommandLabel::clicked, this, &FavouritesPanel::hide);
    header->addWidget(lblExitNumbers);
    layout->addLayout(header);

    auto* none = new PlainLabel("No favourites marked yet: mark them in the Phonebook window.", m_frame);
    none->setObjectName("lblNoFavourites");
    none->setWordWrap(true);
    none->hide();
    layout->addWidget(none);

    auto* scroll = new QScrollArea(m_frame);
    scroll->setObjectName("favouriteScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from row to row; the list around them is no stop of its own.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* rows = new QWidget;
    rows->setObjectName("favouriteRows");
    auto* rowLayout = new QVBoxLayout(rows);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(2);
    for (int i = 0; i < kLabels; ++i) {
        auto* label = new CommandLabel(QStringLiteral("lblCallNumbers_%1").arg(i), vbStr(qint64(i)),
                                       QString(), rows);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFrameShape(QFrame::NoFrame);
        label->setFont(font);
        label->setMargin(0);
        // As high as its caption; the blanks that end a caption never widen
        // the panel.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        connect(label, &CommandLabel::clicked, this, [this, i] { lblCallNumbers_Click(i); });
        rowLayout->addWidget(label);
        lblCallNumbers[i] = label;
    }
    rowLayout->addStretch(1);
    scroll->setWidget(rows);
    layout->addWidget(scroll, 1);
}

void FavouritesPanel::refresh()
{
    const PhonebookContents contents = readPhonebook(DirectoryFiles::in(m_host.state().folder).phonebook);
    if (!contents.error.isEmpty())
        m_host.dialogs().warn("The favourites cannot be read from phonebook.txt: " + contents.error);
    const QStringList captions = favouriteCaptions(contents.records);
    bool any = false;
    for (int i = 0; i < kLabels; ++i) {
        lblCallNumbers[i]->setText(captions[i]);
        lblCallNumbers[i]->setToolTip(captions[i].trimmed());
        const bool used = isFavourite(captions[i], i);
        lblCallNumbers[i]->setVisible(used);
        any = any || used;
    }
    // Without favourites the panel shows only its word on where to mark them.
    m_frame->findChild<QLabel*>("lblNoFavourites")->setVisible(!any);
    m_frame->findChild<QScrollArea*>("favouriteScroll")->setVisible(any);
    if (m_frame->isVisible())
        placePanel(m_host.desk(), m_frame, lblCallNumbers);
}

void FavouritesPanel::show()
{
    refresh();
    placePanel(m_host.desk(), m_frame, lblCallNumbers);
    m_frame->show();
    m_frame->raise();
}

void FavouritesPanel::hide()
{
    m_frame->hide();
}

void FavouritesPanel::lblCallNumbers_Click(int index)
{
    if (index < 0 || index >= kLabels || !portGuard(m_host))
        return;
    const DialRequest request = dialRequestFor(lblCallNumbers[index]->text());
    m_dial(request.number, request.name);
}
