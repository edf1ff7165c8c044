#pragma once

#include <QColor>
#include <QString>

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

// A skin: the background picture of the terminal window and where the
// terminal text window sits on it (twips).
struct Skin {
    QString picture;
    int top;
    int left;
    int height;
    int width;
    bool paperShown;
};

namespace skins {
inline const Skin Standard{"\\Skin-Std.jpg", 525, 790, 4245, 11895, true};
inline const Skin Steampunk{"\\Skin-Pnk.jpg", 585, 780, 4185, 11895, false};
} // namespace skins
