#include "puncher/TapeExport.h"

#include "puncher/PunchTape.h"
#include "puncher/TapeGlyphs.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

// Paper beyond the last hole.
constexpr int kEndMarginPixels = 6;

int holeWidth(const tape::Point& point)
{
    return point.y == tape::kFeedRowY ? tape::kFeedHoleWidth : tape::kCodeHoleWidth;
}

const QString kEmpty = QStringLiteral("The tape is empty: there is no text to show on it.");

} // namespace

namespace tapeexport {

QSize pictureSize(const QString& text, int scale)
{
    qint64 right = -1;
    for (const tape::Point& point : tape::tapePoints(text))
        right = std::max<qint64>(right, point.x + holeWidth(point) / 2);
    if (right < 0 || scale < 1)
        return QSize();
    const qint64 width = (right + 1 + kEndMarginPixels) * scale;
    return QSize(int(std::min<qint64>(width, INT_MAX)), tape::kTapeHeight * scale);
}

void paint(QPainter& painter, const QString& text, int scale)
{
    const QSize size = pictureSize(text, scale);
    painter.fillRect(QRect(QPoint(0, 0), size), PunchTape::paperColor());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    // A hole is centred on its tape pixel, as on screen.
    for (const tape::Point& point : tape::tapePoints(text)) {
        const double radius = holeWidth(point) * scale / 2.0;
        painter.drawEllipse(QPointF((point.x + 0.5) * scale, (point.y + 0.5) * scale), radius, radius);
    }
}

bool saveSvg(const QString& path, const QString& text, int scale, QString* error)
{
    const QSize size = pictureSize(text, scale);
    if (size.isEmpty()) {
        *error = kEmpty;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        // One picture pixel a CSS pixel (96 to the inch): browsers and
        // drawing programs show it at its size.
        svg.setResolution(96);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Paper tape"));
        svg.setDescription(text);
        QPainter painter(&svg);
        paint(painter, text, scale);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool savePng(const QString& path, const QString& text, int scale, QString* error)
{
    const QSize size = pictureSize(text, scale);
    if (size.isEmpty()) {
        *error = kEmpty;
        return false;
    }
    if (qint64(size.width()) * size.height() > kLargestPngPixels || size.width() == INT_MAX) {
        *error = QStringLiteral("The tape picture would be %1 x %2 pixels, too large for a PNG picture: "
                                "choose a smaller scale, or save it as SVG.")
                     .arg(size.width()).arg(size.height());
        return false;
    }
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) {
        *error = QStringLiteral("There is not enough memory for a picture of %1 x %2 pixels.").arg(size.width()).arg(size.height());
        return false;
    }
    {
        QPainter painter(&picture);
        paint(painter, text, scale);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tapeexport
