// A debug aid for scripts/gui-check, never part of the program: loaded into
// a running vornak with LD_PRELOAD, it writes every visible widget that has
// an object name, with the screen position of its centre and its text, to
// the file named by VORNAK_WIDGET_MAP, twice a second:
//
//   lblOpen1 412 873 enabled Open Port
//
// so the script can click a command by its name wherever the layout put it.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace {

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    // Of a text window, its last lines are enough to see what arrived.
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->toPlainText().right(300);
    if (const auto* rich = qobject_cast<const QTextEdit*>(widget))
        return rich->toPlainText().right(300);
    return widget->windowTitle();
}

void writeMap(const QString& path)
{
    // Asked when the timer fires: while the start-up routine runs, the
    // application object is still being made.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QByteArray lines;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (const QWidget* widget : std::as_const(widgets)) {
            if (widget->objectName().isEmpty() || !widget->isVisible())
                continue;
            const QPoint centre = widget->mapToGlobal(widget->rect().center());
            const QString text = textOf(widget).simplified();
            lines += QStringLiteral("%1 %2 %3 %4 %5\n")
                         .arg(widget->objectName())
                         .arg(centre.x())
                         .arg(centre.y())
                         .arg(widget->isEnabled() ? "enabled" : "disabled", text)
                         .toUtf8();
        }
    }
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(lines);
        out.commit();
    }
}

void startMap()
{
    const QString path = qEnvironmentVariable("VORNAK_WIDGET_MAP");
    if (path.isEmpty())
        return;
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [path] { writeMap(path); });
    timer->start(500);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startMap)
