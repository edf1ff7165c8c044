#include "paper/TelexPaper.h"

#include "core/TextFiles.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace {

// Page margins, and the space between the header and the text, in mm.
constexpr double kSideMarginMm = 20;
constexpr double kTopMarginMm = 18;
constexpr double kBottomMarginMm = 18;
constexpr double kHeaderGapMm = 6;
// The text is never larger than this, however wide the paper.
constexpr double kLargestPoints = 12;
constexpr double kLineSpacing = 1.2;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kHeaderInk(0x55, 0x55, 0x55);

bool isControl(QChar c)
{
    return c.unicode() < 32 || (c.unicode() >= 127 && c.unicode() < 160);
}

} // namespace

namespace telexpaper {

QStringList paperLines(const QString& text, int columns)
{
    QStringList lines;
    for (const QString& source : splitLines(text)) {
        QString line;
        line.reserve(source.size());
        for (const QChar c : source) {
            if (c == u'\t')
                line += u' ';
            else if (!isControl(c))
                line += c;
        }
        if (line.isEmpty())
            lines.append(QString());
        for (qsizetype at = 0; at < line.size(); at += columns)
            lines.append(line.mid(at, columns));
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QString headerLine(const QDateTime& time, const QString& firstLine)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + (firstLine.isEmpty() ? QString() : "  " + firstLine);
}

int paint(QPagedPaintDevice& device, const TelexSheet& sheet)
{
    const double dpi = device.logicalDpiX();
    const auto mm = [dpi](double millimetres) { return millimetres * dpi / 25.4; };
    const QRectF page(0, 0, device.width(), device.height());
    const QRectF body = page.adjusted(mm(kSideMarginMm), mm(kTopMarginMm), -mm(kSideMarginMm), -mm(kBottomMarginMm));

    // The font as large as 68 columns fill the width of the text.
    QFont font = sheet.font;
    font.setPixelSize(100);
    const double advance = QFontMetricsF(font, &device).horizontalAdvance(QString(kColumns, u'M')) / 100.0;
    const int pixels = int(std::min(body.width() / advance, kLargestPoints * dpi / 72.0));
    font.setPixelSize(std::max(1, pixels));
    QFont headerFont = font;
    headerFont.setPixelSize(std::max(1, pixels * 8 / 10));
    const double lineHeight = QFontMetricsF(font, &device).height() * kLineSpacing;
    const double headerHeight = QFontMetricsF(headerFont, &device).height();
    const double textTop = body.top() + headerHeight + mm(kHeaderGapMm);
    const int linesPerPage = std::max(1, int((body.bottom() - textTop) / lineHeight));

    const QStringList lines = paperLines(sheet.text);
    const int pages = std::max<int>(1, int((lines.size() + linesPerPage - 1) / linesPerPage));
    QPainter painter(&device);
    for (int pageIndex = 0; pageIndex < pages; ++pageIndex) {
        if (pageIndex > 0)
            device.newPage();
        if (sheet.paper.isNull())
            painter.fillRect(page, Qt::white);
        else
            painter.drawImage(page, sheet.paper);

        painter.setPen(kHeaderInk);
        painter.setFont(headerFont);
        const QString number = pages > 1 ? QStringLiteral("%1/%2").arg(pageIndex + 1).arg(pages) : QString();
        const QRectF headerBox(body.left(), body.top(), body.width(), headerHeight);
        const double numberWidth = QFontMetricsF(headerFont, &device).horizontalAdvance(number + "  ");
        painter.drawText(headerBox.adjusted(0, 0, -numberWidth, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QFontMetricsF(headerFont, &device).elidedText(sheet.header, Qt::ElideRight,
                                                                        headerBox.width() - numberWidth));
        painter.drawText(headerBox, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, number);
        painter.drawLine(QPointF(body.left(), body.top() + headerHeight + mm(kHeaderGapMm) / 3),
                         QPointF(body.right(), body.top() + headerHeight + mm(kHeaderGapMm) / 3));

        painter.setPen(kInk);
        painter.setFont(font);
        const int first = pageIndex * linesPerPage;
        for (int i = first; i < std::min<int>(int(lines.size()), first + linesPerPage); ++i) {
            const QRectF lineBox(body.left(), textTop + (i - first) * lineHeight, body.width() * 1.05, lineHeight);
            painter.drawText(lineBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
        }
    }
    return pages;
}

bool writePdf(const QString& path, const TelexSheet& sheet, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(300);
        pdf.setTitle(sheet.header);
        pdf.setCreator(QStringLiteral("Vornak"));
        paint(pdf, sheet);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace telexpaper
