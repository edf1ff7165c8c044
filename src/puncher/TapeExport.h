#pragma once

#include <QSize>
#include <QString>

class QPainter;

// The puncher's tape picture of a whole text as a file: an SVG drawing or a
// PNG picture, `scale` picture pixels for each tape pixel. The tape looks
// as it does on screen (cream paper, round black holes), from its first
// feed hole to its last hole, however long it is.
namespace tapeexport {

// The picture's size; empty for a text that puts nothing on the tape.
QSize pictureSize(const QString& text, int scale);
// Paints the tape from (0, 0) on.
void paint(QPainter& painter, const QString& text, int scale);

// PNG pictures larger than this many pixels are refused (SVG has no limit).
constexpr qint64 kLargestPngPixels = 200'000'000;

// Write the file under a temporary name and rename it over `path`; false,
// with the reason, when the text is empty, the picture too large or the
// file cannot be written.
bool saveSvg(const QString& path, const QString& text, int scale, QString* error);
bool savePng(const QString& path, const QString& text, int scale, QString* error);

} // namespace tapeexport
