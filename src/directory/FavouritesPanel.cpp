#include "directory/FavouritesPanel.h"

#include "app/CommandHost.h"
#include "core/AppState.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "directory/PhonebookFile.h"
#include "link/Guards.h"

#include <QFontDatabase>
#include <QVBoxLayout>

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
                           "QLabel { color: #e8e8d0; }");
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(10);

    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(0);
    for (int i = 0; i < kLabels; ++i) {
        auto* label = new CommandLabel(QStringLiteral("lblCallNumbers_%1").arg(i), vbStr(qint64(i)),
                                       QString(), m_frame);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFrameShape(QFrame::NoFrame);
        label->setFont(font);
        label->setMargin(0);
        label->setFixedHeight(13);
        connect(label, &CommandLabel::clicked, this, [this, i] { lblCallNumbers_Click(i); });
        layout->addWidget(label);
        lblCallNumbers[i] = label;
    }
    lblExitNumbers = new CommandLabel("lblExitNumbers", "Close", "Hides the Favorites", m_frame);
    lblExitNumbers->setFont(font);
    lblExitNumbers->setFixedHeight(16);
    layout->addStretch(1);
    connect(lblExitNumbers, &CommandLabel::clicked, this, &FavouritesPanel::hide);
    layout->addWidget(lblExitNumbers, 0, Qt::AlignRight);
}

void FavouritesPanel::refresh()
{
    const PhonebookContents contents = readPhonebook(DirectoryFiles::in(m_host.state().folder).phonebook);
    if (!contents.error.isEmpty())
        m_host.dialogs().warn("The favourites cannot be read from phonebook.txt: " + contents.error);
    const QStringList captions = favouriteCaptions(contents.records);
    for (int i = 0; i < kLabels; ++i) {
        lblCallNumbers[i]->setText(captions[i]);
        // The panel is narrow: the whole caption stays readable as a tip.
        lblCallNumbers[i]->setToolTip(captions[i].trimmed());
    }
}

void FavouritesPanel::show()
{
    refresh();
    QWidget* desk = m_frame->parentWidget();
    const int left = twips(kLeftTwips);
    const int top = twips(kTopTwips);
    const int width = desk ? std::max(desk->width() - left - 3, 200) : 300;
    const int height = desk ? std::max(desk->height() - top - 3, 200) : 350;
    m_frame->setGeometry(left, top, width, height);
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
