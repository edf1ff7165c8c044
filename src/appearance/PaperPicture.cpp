#include "appearance/PaperPicture.h"

#include "core/Desk.h"
#include "core/Widgets.h"

#include <QPainter>
#include <cmath>

PaperPicture::PaperPicture(const QString& name, const QPixmap& picture, const QRect& placeTwips, Desk& desk)
    : QWidget(&desk),
      m_desk(desk),
      m_picture(picture),
      m_place(twips(placeTwips.left()), twips(placeTwips.top()), twips(placeTwips.width()),
              twips(placeTwips.height()))
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    desk.place(this, placeTwips);
    // The paper lies under everything else on the desk.
    lower();
}

void PaperPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // On a desk smaller than the design the paper is drawn at the desk's
    // scale, laid out on its size in the design.
    const double scale = m_desk.scale();
    painter.scale(scale, scale);
    const QRect target(0, 0, int(std::lround(width() / scale)), int(std::lround(height() / scale)));
    deskgeometry::drawBanded(painter, target, m_picture, m_place.size(), deskgeometry::bandsWithin(m_desk.bands(), m_place));
}
