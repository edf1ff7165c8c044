#include "core/Widgets.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTextDocument>
#include <QToolTip>

namespace {

// The key caps of the command strip: a dark key with a light caption and a
// rounded edge, a little lighter under the mouse, edged in the highlight
// colour while it has the keyboard focus. Keys paint themselves: a style
// sheet per key cost a tenth of the program's start.
constexpr qreal kKeyRadius = 3;
// Between the edge and the caption: the edge's pixel, then room.
const QMargins kKeyMargins(7, 2, 7, 2);
const QColor kKeyCaption(0xF2EFE6);
const QColor kKeyEdge(0x1E1D1A);

// What a screen reader learns of a command: a button named by its caption
// (by its tool tip when it shows only a picture), described by its tool
// tip with its key, that can be pressed. Asked afresh each time, so it
// always follows the caption.
class CommandAccessible : public QAccessibleWidget {
public:
    explicit CommandAccessible(CommandLabel* command) : QAccessibleWidget(command, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto* command = static_cast<const CommandLabel*>(widget());
        if (kind == QAccessible::Name && command->accessibleName().isEmpty())
            return command->text().isEmpty() ? command->toolTip() : command->text();
        if (kind == QAccessible::Description && command->accessibleDescription().isEmpty())
            return command->shownToolTip();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& action) override
    {
        auto* command = static_cast<CommandLabel*>(widget());
        if (action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (command->isEnabled())
            emit command->clicked();
    }
};

QAccessibleInterface* commandAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("CommandLabel"))
        return new CommandAccessible(static_cast<CommandLabel*>(object));
    return nullptr;
}

} // namespace

QString plainToolTip(const QString& text)
{
    if (text.isEmpty())
        return text;
    // Escaped, the text holds no markup for the tool tip to obey; the
    // paragraph keeps its blanks and line breaks as they are.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString plainWindowTitle(const QString& text)
{
    // A doubled placeholder is shown as one.
    return QString(text).replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

PlainLabel::PlainLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
}

bool PlainLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString text = shownToolTip();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), plainToolTip(text), this);
        return true;
    }
    return QLabel::event(event);
}

CommandLabel::CommandLabel(const QString& name, const QString& caption, const QString& toolTip,
                           QWidget* parent, Look look)
    : PlainLabel(caption, parent), m_look(look)
{
    setObjectName(name);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    if (look == Look::Key) {
        setContentsMargins(kKeyMargins);
    } else {
        setFrameShape(QFrame::StyledPanel);
        setMargin(2);
    }
    // Tab reaches a command; a click leaves the focus where it is, so
    // typing into the terminal window goes on after a click.
    setFocusPolicy(Qt::TabFocus);
    // A screen reader sees a command as a button it can press. The first
    // command made was seen as a plain label while the label was being
    // made, before the button was known: that view is dropped.
    static const bool accessible = (QAccessible::installFactory(commandAccessible), true);
    Q_UNUSED(accessible);
    if (QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(this); seen->role() != QAccessible::Button)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(seen));
    restyle();
}

void CommandLabel::setCaptionColor(const QColor& color)
{
    m_captionColor = color;
    restyle();
}

void CommandLabel::setFaceColor(const QColor& color)
{
    m_faceColor = color;
    restyle();
}

void CommandLabel::setShortcut(const QKeySequence& key)
{
    m_key = key;
    delete m_shortcut;
    m_shortcut = nullptr;
    if (key.isEmpty())
        return;
    // The key works while the command's window is active and the command
    // can be used; keys of a disabled command reach the focused control.
    m_shortcut = new QShortcut(key, this);
    m_shortcut->setContext(Qt::WindowShortcut);
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (isEnabled())
            emit clicked();
    });
}

QString CommandLabel::shownToolTip() const
{
    if (m_key.isEmpty())
        return toolTip();
    const QString key = m_key.toString(QKeySequence::NativeText);
    return toolTip().isEmpty() ? key : toolTip() + "  (" + key + ")";
}

void CommandLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    PlainLabel::mouseReleaseEvent(event);
}

void CommandLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        if (isEnabled() && event->modifiers() == Qt::NoModifier) {
            event->accept();
            emit clicked();
            return;
        }
        break;
    default:
        break;
    }
    PlainLabel::keyPressEvent(event);
}

bool CommandLabel::event(QEvent* event)
{
    // A label that takes the keyboard focus lays its text out in a text
    // document of its own when it is polished, as if the text could be
    // selected; a command's caption is plain text and never selected, and
    // without that document the strip's many commands are made and sized
    // in a fraction of the time.
    if (event->type() == QEvent::Polish) {
        setFocusPolicy(Qt::NoFocus);
        const bool handled = PlainLabel::event(event);
        setFocusPolicy(Qt::TabFocus);
        return handled;
    }
    return PlainLabel::event(event);
}

void CommandLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        restyle();
    PlainLabel::changeEvent(event);
}

void CommandLabel::enterEvent(QEnterEvent* event)
{
    if (m_look == Look::Key)
        update();
    PlainLabel::enterEvent(event);
}

void CommandLabel::leaveEvent(QEvent* event)
{
    if (m_look == Look::Key)
        update();
    PlainLabel::leaveEvent(event);
}

CommandLabel::KeyColours CommandLabel::keyColours() const
{
    const bool hovered = testAttribute(Qt::WA_UnderMouse);
    const QColor highlight = palette().color(QPalette::Highlight);
    KeyColours colours;
    if (m_faceColor.isValid()) {
        // A swatch: the caption in its colour on its face, edged darker, or
        // in the highlight colour under the mouse.
        colours = {m_captionColor.isValid() ? m_captionColor : kKeyCaption, hovered ? highlight : kKeyEdge,
                   m_faceColor, m_faceColor};
    } else if (!isEnabled()) {
        colours = {QColor(0x8D8A82), kKeyEdge, QColor(0x4A4844), QColor(0x3E3C38)};
    } else {
        const QColor caption = m_captionColor.isValid() ? m_captionColor : kKeyCaption;
        // A key whose caption is coloured other than white is lit: its edge
        // takes the colour too.
        const bool lit = m_captionColor.isValid() && m_captionColor != QColor(Qt::white);
        colours = {caption, lit ? caption.darker(130) : kKeyEdge, QColor(hovered ? 0x6C675E : 0x57534C),
                   QColor(hovered ? 0x46433D : 0x36342F)};
    }
    if (hasFocus() && !(m_faceColor.isValid() && hovered))
        colours.edge = highlight;
    return colours;
}

void CommandLabel::paintEvent(QPaintEvent* event)
{
    if (m_look != Look::Key) {
        PlainLabel::paintEvent(event);
        return;
    }
    const KeyColours colours = keyColours();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, height());
    face.setColorAt(0, colours.top);
    face.setColorAt(1, colours.bottom);
    painter.setPen(QPen(colours.edge, 1));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kKeyRadius, kKeyRadius);
    painter.end();
    // The caption (or picture) over it, in the colour restyle() gave.
    PlainLabel::paintEvent(event);
}

void CommandLabel::restyle()
{
    if (m_look == Look::Key) {
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, keyColours().caption);
        setPalette(colours);
        update();
        return;
    }
    QString style = "QLabel { padding: 1px 4px; }";
    if (!isEnabled())
        style += "QLabel { color: gray; }";
    else if (m_captionColor.isValid() || m_faceColor.isValid())
        style += QStringLiteral("QLabel { color: %1; background: %2; }")
                     .arg(m_captionColor.isValid() ? m_captionColor.name() : QString("palette(window-text)"),
                          m_faceColor.isValid() ? m_faceColor.name() : QString("transparent"));
    else
        style += "QLabel:hover { background: palette(highlight); color: palette(highlighted-text); }";
    style += "QLabel:focus { border: 1px dotted palette(highlight); }";
    setStyleSheet(style);
}

PictureLamp::PictureLamp(const QString& name, Kind kind, const QString& toolTip, QWidget* parent)
    : PlainLabel(parent), m_kind(kind)
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
    draw();
}

void PictureLamp::draw()
{
    // Drawn for the screen's pixel density, so the lamp stays sharp when the
    // desktop scales the window.
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool lit = m_picture == 1;
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
    painter.end();
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
    // Only the stretch the bar gained or lost is drawn again (the desk
    // behind the ruler with it).
    const double before = endX();
    m_lengthTwips += twipsMore;
    const double after = endX();
    update(QRectF(std::min(before, after), 0, std::abs(after - before), height()).toAlignedRect().adjusted(-1, 0, 1, 0));
}

void RulerLine::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void RulerLine::followText(QPlainTextEdit* text)
{
    if (m_text)
        m_text->removeEventFilter(this);
    m_text = text;
    if (m_text)
        m_text->installEventFilter(this);
    update();
}

double RulerLine::columnWidth() const
{
    if (!m_text)
        return kTwipsPerColumn / 15.0;
    const QFontMetricsF metrics(m_text->document()->defaultFont());
    // A font whose narrow and wide letters are equally wide is fixed-pitch,
    // whatever it says of itself: every character is that wide. In another
    // one the typed line is measured by its average character.
    const double narrow = metrics.horizontalAdvance(QLatin1Char('i'));
    const double wide = metrics.horizontalAdvance(QLatin1Char('M'));
    return qFuzzyCompare(narrow, wide) ? wide : metrics.averageCharWidth();
}

double RulerLine::startX() const
{
    if (!m_text || !m_text->window() || m_text->window() != window())
        return 0;
    // The first text column: the text area's left edge, the document's
    // margin, less what is scrolled out to the left.
    const QWidget* area = m_text->viewport();
    const QPoint areaLeft = area->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0));
    return areaLeft.x() + m_text->document()->documentMargin() - m_text->horizontalScrollBar()->value();
}

double RulerLine::endX() const
{
    return startX() + columnWidth() * m_lengthTwips / kTwipsPerColumn;
}

void RulerLine::paintEvent(QPaintEvent*)
{
    const double start = std::max(0.0, startX());
    const double end = std::min(double(width()), endX());
    if (end <= start)
        return;
    QPainter painter(this);
    painter.fillRect(QRectF(start, 0, end - start, height()), m_color);
}

bool RulerLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text) {
        switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::Resize:
        case QEvent::Move:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
