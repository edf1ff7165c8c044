#include "Pictures.h"

#include "appearance/AnalogClock.h"
#include "appearance/Appearance.h"
#include "core/Widgets.h"

#include <QWidget>

namespace pictures {

namespace {

// The desk of the main window at its design size.
constexpr QSize kDesk(1200, 372);

QRect textPlace(const Skin& skin)
{
    return QRect(twips(skin.left), twips(skin.top), twips(skin.width), twips(skin.height));
}

QRect clockPlace()
{
    // The clock places itself on the desk; ask it where.
    QWidget desk;
    desk.resize(kDesk);
    const AnalogClock clock(&desk);
    return clock.geometry();
}

} // namespace

DeskLayout standardLayout() { return {kDesk, textPlace(skins::Standard), clockPlace()}; }
DeskLayout steampunkLayout() { return {kDesk, textPlace(skins::Steampunk), clockPlace()}; }

QRect paperSheetPlace()
{
    return standardLayout().text.adjusted(-kPaperMargin, -kPaperMargin, kPaperMargin, kPaperMargin);
}

QRect paperEdgePlace()
{
    const QRect sheet = paperSheetPlace();
    return QRect(sheet.left() - 4, sheet.bottom() + 1, sheet.width() + 8, 12);
}

} // namespace pictures
