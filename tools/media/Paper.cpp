#include "Noise.h"
#include "PictureKit.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

const QColor kPaper(0xF4, 0xEF, 0xDF);
const QColor kSteel(0xB8, 0xBA, 0xBC);

} // namespace

QImage paperSheet(double scale)
{
    // Cream teleprinter paper with a faint fibre and cloudy mottling; the
    // sides darken over the last pixels and the top lies in the shadow of
    // the machine. All of it within kPaperMargin of the edges.
    const QSize size = paperSheetPlace().size();
    const TileTexture fibre(size.width(), size.height(), 6, 1.5, 2, 0.5, 31);
    const TileTexture cloud(size.width(), size.height(), 90, 60, 3, 0.5, 32);
    return kit::textured(size, scale, [&](double x, double y) {
        const double side = std::min(x, size.width() - x);
        const double edgeDark = side < 3.0 ? 0.10 * (3.0 - side) / 3.0 : 0.0;
        const double topShadow = y < kPaperMargin ? 0.10 * (1.0 - y / kPaperMargin) : 0.0;
        return kit::shade(kPaper, 0.012 * fibre.at(x, y) + 0.018 * cloud.at(x, y) - edgeDark - topShadow);
    });
}

QImage paperEdge(double scale)
{
    // The paper bends down over a toothed steel bar; what lies around it is
    // transparent so the well shows through.
    const QRect place = paperEdgePlace();
    const QSizeF size = place.size();
    QImage image(QSize(int(std::lround(size.width() * scale)), int(std::lround(size.height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    const double paperLeft = place.left() < paperSheetPlace().left() ? paperSheetPlace().left() - place.left() : 0;
    const QRectF paper(paperLeft, 0, size.width() - 2 * paperLeft, 5);
    QLinearGradient bend(paper.topLeft(), paper.bottomLeft());
    bend.setColorAt(0, kit::shade(kPaper, -0.04));
    bend.setColorAt(1, kit::shade(kPaper, -0.30));
    painter.setPen(Qt::NoPen);
    painter.setBrush(bend);
    painter.drawRect(paper);

    // The bar, with small teeth along its upper edge.
    const QRectF bar(0, 5, size.width(), 5);
    QPainterPath teeth;
    for (double x = 0; x < size.width(); x += 4) {
        teeth.moveTo(x, bar.top() + 0.5);
        teeth.lineTo(x + 2, bar.top() - 1.5);
        teeth.lineTo(x + 4, bar.top() + 0.5);
    }
    teeth.addRoundedRect(bar, 2, 2);
    kit::softShadow(painter, teeth, QPointF(0, 1.5), 2, 60);
    QLinearGradient chrome(bar.topLeft(), bar.bottomLeft());
    chrome.setColorAt(0, kit::shade(kSteel, 0.55));
    chrome.setColorAt(0.5, kSteel);
    chrome.setColorAt(1, kit::shade(kSteel, -0.45));
    painter.setBrush(chrome);
    painter.drawPath(teeth);
    return image;
}

} // namespace pictures
