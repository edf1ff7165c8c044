#include "appearance/AnalogClock.h"

#include "core/Desk.h"
#include "core/Widgets.h"

#include <QPainter>
#include <QtMath>

namespace {

// Where the face sits on the desk, in twips: to the right of the terminal
// text window, wide enough for the longest hand (900) with a rim around it.
constexpr int kFaceLeft = 14400;
constexpr int kFaceTop = 600;
constexpr int kFaceWidth = 1950;
constexpr double kTwipsPerPixel = 15.0;

} // namespace

LineControl::LineControl(const QString& name, QObject* parent) : QObject(parent)
{
    setObjectName(name);
}

void LineControl::set(const clockhands::Hand& hand)
{
    m_hand = hand;
}

AnalogClock::AnalogClock(QWidget* desk) : QWidget(desk)
{
    setObjectName("Shape1");
    // On the desk the face keeps its place at the desk's right edge as the
    // desk grows; elsewhere (the picture generator) it stands as designed.
    const QRect place(kFaceLeft, kFaceTop, kFaceWidth, kFaceWidth);
    if (auto* onDesk = qobject_cast<Desk*>(desk))
        onDesk->place(this, place);
    else
        setGeometry(twips(place.left()), twips(place.top()), twips(place.width()), twips(place.height()));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lineSeconds2 = new LineControl("lineSeconds2", this);
    LineMinutes1 = new LineControl("LineMinutes1", this);
    LineHours1 = new LineControl("LineHours1", this);
    // Panels that open over this part of the desk must cover the clock.
    lower();
}

QPoint AnalogClock::centreTwips() const
{
    const int left = x() * int(kTwipsPerPixel);
    const int top = y() * int(kTwipsPerPixel);
    const int width = this->width() * int(kTwipsPerPixel);
    return QPoint(left + width / 2, top + width / 2);
}

void AnalogClock::DrawClock(const QDateTime& now)
{
    const clockhands::Hands hands = clockhands::hands(now, centreTwips());
    // Only where a hand was and where it is now is drawn again: a tick
    // costs the small box of the seconds hand, not the whole face.
    QRegion changed;
    const std::pair<LineControl*, const clockhands::Hand*> lines[] = {
        {lineSeconds2, &hands.seconds}, {LineMinutes1, &hands.minutes}, {LineHours1, &hands.hours}};
    for (const auto& [line, hand] : lines) {
        const clockhands::Hand& was = line->hand();
        if (line->isVisible() && was.start == hand->start && was.end == hand->end && was.width == hand->width
            && was.colour == hand->colour)
            continue;
        if (line->isVisible())
            changed += handBox(was);
        changed += handBox(*hand);
        line->set(*hand);
        line->setVisible(true);
    }
    update(changed);
}

QRect AnalogClock::handBox(const clockhands::Hand& hand) const
{
    // The hand's line with its round caps and antialiased edge.
    const QPointF origin(x(), y());
    const QRectF line(QPointF(hand.start) / kTwipsPerPixel - origin, QPointF(hand.end) / kTwipsPerPixel - origin);
    const double margin = hand.width / 2.0 + 2;
    return line.normalized().adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

void AnalogClock::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The face is drawn at its designed size and scaled with the desk.
    const double scale = width() / (kFaceWidth / kTwipsPerPixel);
    painter.scale(scale, scale);

    const QRectF face = QRectF(0, 0, kFaceWidth / kTwipsPerPixel, kFaceWidth / kTwipsPerPixel).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(QColor(0xB8B0A0), 3));
    painter.setBrush(QColor(0x181818));
    painter.drawEllipse(face);

    // Twelve hour marks on the rim.
    const QPointF middle = face.center();
    const double radius = face.width() / 2.0;
    painter.setPen(QPen(QColor(0xD0D0D0), 2, Qt::SolidLine, Qt::RoundCap));
    for (int hour = 0; hour < 12; ++hour) {
        const double angle = qDegreesToRadians(hour * 30.0);
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(middle + direction * (radius - 8), middle + direction * (radius - 3));
    }

    // Hands are kept in window twips around the face's centre; drawn here
    // around the middle of the designed face.
    const QPointF centre = QPointF(centreTwips()) / kTwipsPerPixel;
    auto toFace = [&](const QPoint& twipsPoint) { return QPointF(twipsPoint) / kTwipsPerPixel - centre + middle; };
    for (const LineControl* line : {LineHours1, LineMinutes1, lineSeconds2}) {
        if (!line->isVisible())
            continue;
        painter.setPen(QPen(line->colour(), line->width(), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(toFace(line->start()), toFace(line->end()));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xB8B0A0));
    painter.drawEllipse(middle, 3.0, 3.0);
}
