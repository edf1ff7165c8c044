#include "appearance/PaperPicture.h"

#include "core/Desk.h"
#include "core/Widgets.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <utility>

PaperPicture::PaperPicture(const QString& name, LazyPicture picture, const QRect& placeTwips, Desk& desk)
    : QWidget(&desk),
      m_desk(desk),
      m_picture(std::move(picture)),
      m_place(twips(placeTwips.left()), twips(placeTwips.top()), twips(placeTwips.width()),
              twips(placeTwips.height()))
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    desk.place(this, placeTwips);
    // The paper lies under everything else on the desk.
    lower();
    // A new size or skin draws the picture anew.
    connect(&desk, &Desk::layoutChanged, this, [this] {
        m_drawn = QPixmap();
        update();
    });
}

void PaperPicture::paintEvent(QPaintEvent* event)
{
    const qreal ratio = devicePixelRatioF();
    if (m_drawn.size() != size() * ratio) {
        m_drawn = QPixmap(size() * ratio);
        m_drawn.setDevicePixelRatio(ratio);
        m_drawn.fill(Qt::transparent);
        QPainter drawing(&m_drawn);
        // On a desk smaller than the design the paper is drawn at the desk's
        // scale, laid out on its size in the design.
        const double scale = m_desk.scale();
        drawing.scale(scale, scale);
        const QRect target(0, 0, int(std::lround(width() / scale)), int(std::lround(height() / scale)));
        deskgeometry::drawBanded(drawing, target, m_picture.get(), m_place.size(),
                                 deskgeometry::bandsWithin(m_desk.bands(), m_place));
    }
    QPainter painter(this);
    for (const QRect& area : event->region())
        painter.drawPixmap(area, m_drawn, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}
