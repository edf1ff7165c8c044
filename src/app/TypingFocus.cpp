#include "app/TypingFocus.h"

#include <QAbstractSpinBox>
#include <QChildEvent>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

// A widget that takes typed text: it may take the keyboard on a click.
bool takesTyping(const QWidget* widget)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* box = qobject_cast<const QComboBox*>(widget))
        return box->isEditable();
    return qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

} // namespace

TypingFocus::TypingFocus(QWidget* window, QWidget* desk, QWidget* terminal)
    : QObject(window), m_window(window), m_desk(desk), m_terminal(terminal)
{
    keepClicksOff(window);
    desk->installEventFilter(this);
    for (QObject* child : desk->children())
        watchPanel(child);
}

void TypingFocus::keepClicksOff(QWidget* root) const
{
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets << root;
    for (QWidget* widget : std::as_const(widgets)) {
        // Widgets of the window only (not its own windows), the terminal
        // text window and the fields keep what they have.
        if (widget->window() != m_window || widget == m_terminal || takesTyping(widget))
            continue;
        if (widget->focusPolicy() & Qt::ClickFocus)
            widget->setFocusPolicy(widget->focusPolicy() & Qt::TabFocus ? Qt::TabFocus : Qt::NoFocus);
    }
}

void TypingFocus::watchPanel(QObject* panel)
{
    if (panel != m_terminal && panel->isWidgetType())
        panel->installEventFilter(this);
}

bool TypingFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_desk) {
        if (event->type() == QEvent::ChildAdded)
            watchPanel(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    auto* panel = qobject_cast<QWidget*>(watched);
    if (!panel || panel->parentWidget() != m_desk)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        // A panel may have gained widgets since it was last shown.
        keepClicksOff(panel);
        break;
    case QEvent::Hide:
        // The panel itself closes (not the window around it). This comes
        // before the window moves the keyboard on from a hidden field, to
        // whatever follows it (a command maybe): it goes home instead.
        if (event->spontaneous() || !panel->isHidden())
            break;
        if (QWidget* focused = m_window->focusWidget(); focused && panel->isAncestorOf(focused))
            m_terminal->setFocus(Qt::OtherFocusReason);
        break;
    default:
        break;
    }
    return false;
}
