#pragma once

#include <QObject>

class QWidget;

// Keeps the keyboard where the user types: in the terminal text window, or
// in an edit field the user has clicked into. A click on anything else of
// the window (a command, a list row, a panel's button or list) leaves the
// keyboard where it is; Tab still reaches those. A panel of the desk that
// closes while the keyboard is in one of its fields gives the keyboard back
// to the terminal text window.
class TypingFocus : public QObject {
public:
    // Looks after the widgets of `window` and the panels of `desk` (its
    // children other than the terminal text window, also those added later).
    TypingFocus(QWidget* window, QWidget* desk, QWidget* terminal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Takes the click focus from every widget under `root` that is not a
    // field to type in.
    void keepClicksOff(QWidget* root) const;
    void watchPanel(QObject* panel);

    QWidget* m_window;
    QWidget* m_desk;
    QWidget* m_terminal;
};
