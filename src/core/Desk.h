#pragma once

#include <QWidget>

// The desk of the main window: the skin picture with the terminal text
// window placed on it. The panels of the parts (the headline editor, the
// favourites, the preview, ...) are children of the desk, named after their
// control, and open over the text window; positions on the desk are the
// twips of the window design (twips() in core/Widgets.h).
class Desk : public QWidget {
    Q_OBJECT
public:
    explicit Desk(QWidget* parent = nullptr);

    // Hides the panel of that name, when there is one.
    void hidePanel(const QString& name);
};
