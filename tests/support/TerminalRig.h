#pragma once

// A main window whose serial port is the slave end of a pseudo-terminal; the
// test holds the master end as the interface box and reads exactly the
// bytes the program sends. Controls are found by their names, parts by
// their class.

#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "app/terminal.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/LineCommands.h"
#include "link/ReceivePath.h"
#include "link/TerminalText.h"
#include "PtyPair.h"
#include "text/frmCancelSend.h"
#include "text/TextTransmissions.h"

#include <QTextDocumentFragment>
#include <QScreen>
#include <QToolTip>
#include <QtTest>
#include <memory>
#include <sys/resource.h>

// The processor time this test program spends while its event loop runs
// for `ms`: next to nothing when the program waits as it should.
inline double cpuSecondsWhileWaiting(int ms)
{
    const auto used = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double before = used();
    QTest::qWait(ms);
    return used() - before;
}

// What the tool tip of `widget` shows when the mouse rests on it (markup obeyed).
inline QString shownToolTipOf(QWidget* widget)
{
    QHelpEvent rest(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &rest);
    const QString tip = QToolTip::text();
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

// What the window of `widget` holds on screen where `widget` stands: the
// pixels drawn change by change, as the platform keeps them (not a fresh
// rendering like QWidget::grab()).
inline QImage drawnOnScreen(QWidget* widget)
{
    QWidget* window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return QGuiApplication::primaryScreen()->grabWindow(window->winId()).copy(area).toImage();
}

// Whether the pixels drawn change by change where `widget` stands are the
// ones a full repaint of it and its children draws: a change that redrew
// too little leaves stale pixels behind.
inline bool drawnAsRepainted(QWidget* widget)
{
    const QImage drawn = drawnOnScreen(widget);
    widget->repaint();
    for (QWidget* child : widget->findChildren<QWidget*>())
        if (child->isVisible())
            child->repaint();
    return !drawn.isNull() && drawn == drawnOnScreen(widget);
}

struct TerminalRig {
    AppState state;
    ScriptedDialogs dialogs;
    SettingsStore settings;
    PtyPair box;
    std::unique_ptr<frmTerminal> terminal;

    // A tiny pause per character keeps the tests fast. Without `load` the
    // window is made but not started, so a test can prepare the settings
    // store first.
    explicit TerminalRig(const TestEnvironment& env, bool openPort = true, double charDelay = 0.001,
                         bool load = true)
        : state(env.makeState())
    {
        box.open();
        settings.save("Ports", "Com1", box.slavePath());
        terminal = std::make_unique<frmTerminal>(state, dialogs, settings);
        if (!load)
            return;
        terminal->Form_Load({});
        state.CharDelay = charDelay;
        if (openPort) {
            click("lblOpen1");
            if (box.waitForBytes(1, 2000) != QByteArray("\r"))
                qWarning("the port did not open with its carriage return");
        }
    }

    frmTerminal& t() { return *terminal; }
    // A control of the main window by its name (nullptr when there is none).
    template <typename Widget = QWidget>
    Widget* control(const QString& name)
    {
        return terminal->findChild<Widget*>(name);
    }
    CommandLabel* command(const QString& name) { return control<CommandLabel>(name); }
    // A part of the main window by its class.
    template <typename Part>
    Part& part()
    {
        Part* found = terminal->findChild<Part*>();
        if (!found)
            qFatal("the main window has no such part");
        return *found;
    }

    TerminalText& text() { return terminal->terminal(); }
    StatusPanel& status() { return terminal->status(); }
    QString action() { return status().lblAction->text(); }
    // Clicks a command of the main window by its name.
    void click(const QString& name)
    {
        CommandLabel* label = command(name);
        QVERIFY2(label, qPrintable(name));
        QTest::mouseClick(label, Qt::LeftButton);
    }

    // The named operations of the parts.
    void ShowData(const QString& text) { part<ReceivePath>().ShowData(text); }
    void SendTxt(const QString& text) { part<TextTransmissions>().SendTxt(text); }
    void SendKLKL() { part<TextTransmissions>().SendKLKL(); }
    void CallNumber(const QString& number, const QString& name) { part<LineCommands>().CallNumber(number, name); }
    frmCancelSend& cancelWindow() { return part<TextTransmissions>().cancelWindow(); }

    // Everything that reaches the box until `count` bytes have come, then
    // whatever trails within a short while (nothing, when all is well).
    QByteArray received(int count, int timeoutMs = 5000)
    {
        QByteArray bytes = box.waitForBytes(count, timeoutMs);
        bytes += box.readFor(150);
        return bytes;
    }

    static QStringList sendCommandNames()
    {
        return {"lblPaste", "lblSendText1", "lblSendHeader", "lblSendHeadlines", "lblSendMessage"};
    }
    bool sendCommandsEnabled()
    {
        for (const QString& name : sendCommandNames()) {
            if (!command(name)->isEnabled())
                return false;
        }
        return true;
    }
};
