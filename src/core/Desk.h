#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "core/LazyPicture.h"

class QPainter;

// How the desk grows. The window design is 1200 x 372 pixels (18000 x 5580
// twips); a larger desk gives its extra width to one vertical band of the
// design and its extra height to one horizontal band. Everything left of the
// vertical band stays where the design puts it, everything right of it moves
// right by the extra width; the same holds for above and below the
// horizontal band. A rectangle that spans a band grows with it, so the
// terminal text window grows both ways while the clock keeps its size at the
// desk's right edge. The skin picture is drawn the same way: the pieces
// outside the bands as they are, the bands repeated. A desk smaller than the
// design shows all of it scaled down (scaleFor), the picture and every
// placed panel alike.
namespace deskgeometry {

constexpr QSize kDesignSize(1200, 372);
// A desk smaller than the design shows it scaled down as one picture, to
// this fraction at the least.
constexpr double kSmallestScale = 0.72;

// The scale of the design on a desk of `deskSize`: 1 when the design fits,
// less when the desk is narrower or lower than the design.
double scaleFor(const QSize& deskSize);
// The size of the design a desk of `deskSize` lays out: the desk's size at
// the design's scale, never smaller than the design.
QSize extentFor(const QSize& deskSize);

// A band [start, end) of design pixels along one axis.
struct Band {
    int start = 0;
    int end = 0;
    int length() const { return end - start; }
};

struct Bands {
    Band across; // the vertical band: takes the extra width
    Band down;   // the horizontal band: takes the extra height
};

// A coordinate of the design along one axis on a desk `extra` pixels longer
// than the design along that axis.
int mapCoordinate(int designValue, const Band& band, int extra);

// A rectangle of design pixels on a desk of `deskSize` (never smaller than
// the design).
QRect mapRect(const QRect& design, const Bands& bands, const QSize& deskSize);

// The bands of the design expressed in a picture that covers `place` of the
// design (for pictures such as the paper that lie on the desk).
Bands bandsWithin(const Bands& bands, const QRect& place);

// Draws `picture` into `target`: the picture is first taken at `designSize`
// (a picture of another size is scaled to it), then its pieces outside the
// bands are drawn as they are and the bands are repeated to fill the extra
// size, each repeat stretched a little so that a whole number of them fits.
void drawBanded(QPainter& painter, const QRect& target, const QPixmap& picture, const QSize& designSize,
                const Bands& bands);

} // namespace deskgeometry

// The desk of the main window: the skin picture with the terminal text
// window placed on it. The panels of the parts (the headline editor, the
// favourites, the preview, ...) are children of the desk, named after their
// control, and open over the text window; positions on the desk are the
// twips of the window design (twips() in core/Widgets.h). A child placed
// with place() keeps its place in the design when the desk grows; one
// positioned by hand keeps its pixels, which is right for the top left part
// of the desk, the part that never moves.
class Desk : public QWidget {
    Q_OBJECT
public:
    explicit Desk(QWidget* parent = nullptr);

    // Hides the panel of that name, when there is one.
    void hidePanel(const QString& name);

    // The design's size; the desk shrinks to kSmallestScale of it.
    QSize sizeHint() const override { return deskgeometry::kDesignSize; }
    QSize minimumSizeHint() const override;
    // How much the design is scaled down on the desk (1 on a desk at least
    // as large as the design).
    double scale() const { return deskgeometry::scaleFor(size()); }

    // The skin: its picture (drawn through the bands; a null picture leaves
    // the plain colour) and the bands the desk grows by.
    // The picture is read when the desk is first drawn with it.
    void setSkin(LazyPicture picture, const QColor& plainColour, const deskgeometry::Bands& bands);
    const deskgeometry::Bands& bands() const { return m_bands; }

    // Where a rectangle of the design (twips) lies on the desk now.
    QRect toDesk(const QRect& designTwips) const;

    // Places `child` at a rectangle of the design (twips), now and whenever
    // the desk changes size or skin. With a `size`, the child keeps that size
    // (a width or height of 0 takes the rectangle's) and stands in the
    // rectangle as `alignment` says.
    void place(QWidget* child, const QRect& designTwips, const QSize& size = QSize(),
               Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop, bool scaleContents = true);
    // Gives a panel the desk's present scale before it is placed, so that
    // what it needs can be measured (and divided by scale() for place()).
    void prepare(QWidget* panel);

    // The design rectangle (twips) a child was placed at; empty when none.
    QRect placeOf(const QWidget* child) const;

signals:
    // The desk has taken a new size or skin; placed children are in place.
    void layoutChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Placement {
        QPointer<QWidget> child;
        QRect designTwips;
        QSize size;
        Qt::Alignment alignment;
        bool scaleContents;
    };
    void applyPlacement(const Placement& placement) const;
    void applyPlacements();

    LazyPicture m_picture;
    // The picture as drawn at the desk's size: painting the desk copies
    // pixels from it instead of scaling the bands again (scaling runs on a
    // pool of threads that would wake with every repaint, a clock tick too).
    QPixmap m_drawn;
    QColor m_plainColour = QColor(0xD8D0C0);
    deskgeometry::Bands m_bands;
    QHash<const QWidget*, Placement> m_placements;
    // The scale each placed panel's contents were last given (1 at first).
    mutable QHash<const QWidget*, double> m_appliedScales;
};
