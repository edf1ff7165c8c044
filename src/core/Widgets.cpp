#include "core/Widgets.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

CommandLabel::CommandLabel(const QString& name, const QString& caption, const QString& toolTip,
                           QWidget* parent)
    : QLabel(caption, parent)
{
    setObjectName(name);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setMargin(2);
    restyle();
}

void CommandLabel::setCaptionColor(const QColor& color)
{
    m_captionColor = color;
    restyle();
}

void CommandLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void CommandLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        restyle();
    QLabel::changeEvent(event);
}

void CommandLabel::restyle()
{
    QString style = "QLabel { padding: 1px 4px; }";
    if (!isEnabled())
        style += "QLabel { color: gray; }";
    else if (m_captionColor.isValid())
        style += QStringLiteral("QLabel { color: %1; background: #404040; }").arg(m_captionColor.name());
    else
        style += "QLabel:hover { background: palette(highlight); color: palette(highlighted-text); }";
    setStyleSheet(style);
}

PictureLamp::PictureLamp(const QString& name, Kind kind, const QString& toolTip, QWidget* parent)
    : QLabel(parent), m_kind(kind)
{
    setObjectName(name);
    setToolTip(toolTip);
    setFixedSize(20, 20);
    showPicture(2);
}

void PictureLamp::showPicture(int number)
{
    if (number == m_picture)
        return;
    m_picture = number;
    setProperty("picture", number);
    QPixmap pixmap(size());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool lit = number == 1;
    if (m_kind == PortPlug) {
        painter.setBrush(lit ? QColor(0x20C020) : QColor(0x808080));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRoundedRect(QRectF(3, 5, 14, 10), 2, 2);
        painter.drawLine(QPointF(7, 5), QPointF(7, 1));
        painter.drawLine(QPointF(13, 5), QPointF(13, 1));
    } else {
        painter.setBrush(lit ? QColor(0xFFB000) : QColor(0x303030));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(QRectF(4, 4, 12, 12));
    }
    setPixmap(pixmap);
}

RulerLine::RulerLine(QWidget* parent) : QWidget(parent)
{
    setObjectName("Line1");
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RulerLine::reset()
{
    m_lengthTwips = 0;
    update();
}

void RulerLine::extend(int twipsMore)
{
    m_lengthTwips += twipsMore;
    update();
}

void RulerLine::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void RulerLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, std::min(width(), twips(m_lengthTwips)), height()), m_color);
}
