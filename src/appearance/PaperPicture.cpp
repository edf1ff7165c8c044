#include "appearance/PaperPicture.h"

#include "core/Desk.h"
#include "core/Widgets.h"

#include <QPainter>

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
    deskgeometry::drawBanded(painter, rect(), m_picture, m_place.size(),
                             deskgeometry::bandsWithin(m_desk.bands(), m_place));
}
