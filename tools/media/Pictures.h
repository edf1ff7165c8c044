#pragma once

#include <QImage>
#include <QRect>

// The pictures shipped beside the program. Each is designed for the desk of
// the main window at its design size and can be made larger by `scale` (for
// screens with more pixels per inch) without losing detail.
namespace pictures {

// Where things sit on the desk, in pixels of the design size.
struct DeskLayout {
    QSize desk;        // the whole desk
    QRect text;        // the terminal text window of the skin
    QRect clock;       // the face of the analogue clock
};

// The desk and the places of the text window and the clock for a skin.
DeskLayout standardLayout();
DeskLayout steampunkLayout();

// The plain office look: a warm grey casing, the paper well, a plate with
// the clock and a vent.
QImage standardSkin(double scale = 1.0);
// Brass and copper: a brushed brass plate, a riveted copper frame, a gauge
// ring round the clock, gears and a pipe.
QImage steampunkSkin(double scale = 1.0);

// The margin of paper shown around the text window, and where the two paper
// pictures sit for the standard skin.
constexpr int kPaperMargin = 12;
QRect paperSheetPlace();
QRect paperEdgePlace();
// The paper sheet behind the text window: its edge effects lie within
// kPaperMargin of each side, so it may be stretched in the middle.
QImage paperSheet(double scale = 1.0);
// The paper's lower end running over the tear-off bar below the sheet.
QImage paperEdge(double scale = 1.0);

} // namespace pictures
