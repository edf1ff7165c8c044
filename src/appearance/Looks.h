#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "core/Desk.h"

// The colour pairs of the terminal text window (text colour, background).
struct ColourPair {
    QColor text;
    QColor background;
};

namespace colours {
inline const ColourPair BlackOnWhite{QColor(0, 0, 0), QColor(255, 255, 255)};      // as the window starts
inline const ColourPair GreenOnBlack{QColor(0, 255, 0), QColor(0, 0, 0)};       // lbGnBk
inline const ColourPair CyanOnWhite{QColor(0, 255, 255), QColor(255, 255, 255)}; // lblBlWt
inline const ColourPair RedOnBlack{QColor(255, 0, 0), QColor(0, 0, 0)};          // lblRdBl
inline const ColourPair WhiteOnBlue{QColor(255, 255, 255), QColor(0, 0, 255)};   // lblYlBl
inline const ColourPair NavyOnWhite{QColor(0, 0, 128), QColor(255, 255, 255)};   // lblBkWt
} // namespace colours

// A skin: the background picture of the terminal window, where the
// terminal text window sits on it (twips), whether the paper pictures show,
// and the bands of the picture (design pixels) that repeat when the desk is
// larger than the design. The bands run through plain parts of the picture:
// across, through the middle of the text well (for the steampunk skin one
// rivet pitch of its frame, a rivet in the middle); down, between the clock
// and what lies below it (the vent, the gears), clear of pipe flanges.
struct Skin {
    QString picture;
    int top;
    int left;
    int height;
    int width;
    bool paperShown;
    deskgeometry::Bands bands;
    QColor plainColour; // the desk without its picture
    // Whether the text window draws its own frame: on the paper it does; in
    // the steampunk screen the picture frames it (a light line of the text
    // window would show inside the dark screen).
    bool textFrame;
};

namespace skins {
inline const Skin Standard{"\\Skin-Std.jpg", 525, 790, 4245, 11895, true, {{440, 480}, {188, 201}}, QColor(0xD8D0C0),
                           true};
inline const Skin Steampunk{"\\Skin-Pnk.jpg", 585, 780, 4185, 11895, false, {{449, 488}, {190, 228}}, QColor(0x8A6A34),
                            false};
} // namespace skins

// The paper behind the text window of the standard skin, in twips of the
// design: the sheet (picQuillnetPapier_0, "\Paper-Sheet.jpg") and its lower
// end over the tear-off bar (picQuillnetPapier_1, "\Paper-Edge.png").
namespace paper {
inline const QString SheetPicture = QStringLiteral("\\Paper-Sheet.jpg");
inline const QString EdgePicture = QStringLiteral("\\Paper-Edge.png");
inline const QRect SheetPlace(40 * 15, 23 * 15, 817 * 15, 307 * 15);
inline const QRect EdgePlace(36 * 15, 330 * 15, 825 * 15, 12 * 15);
} // namespace paper
