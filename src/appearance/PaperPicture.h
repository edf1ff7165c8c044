#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>

#include "core/LazyPicture.h"

class Desk;

// One picture of the paper behind the terminal text window
// (picQuillnetPapier_0 and _1). It stands at its place of the design and
// grows with the desk the way the skin does: its parts outside the desk's
// bands stay as drawn, the bands repeat, so the paper's edges and the teeth
// of the tear-off bar keep their shape at any size.
class PaperPicture : public QWidget {
    Q_OBJECT
public:
    // `placeTwips` is the picture's place in the design; a null picture (a
    // file that could not be read) shows nothing.
    PaperPicture(const QString& name, LazyPicture picture, const QRect& placeTwips, Desk& desk);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Desk& m_desk;
    LazyPicture m_picture;
    QPixmap m_drawn; // the picture at the widget's size, drawn once (see Desk)
    QRect m_place; // design pixels
};
