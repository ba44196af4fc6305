#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <span>

class QImage;
class QPainter;

namespace rix {

// A grid's lines: one pixel at the bottom of each row (`rowLines`, ascending
// y) across the whole of `area`, and one at the right of each column
// (`columnLines`, ascending x) down the whole of it, in the painter's
// coordinates.
struct GridLines {
  QRect area;
  std::span<const int> rowLines;
  std::span<const int> columnLines;
};

// Where a painter draws straight into a 32-bit image (a widget's backing
// store) so that pixels written there directly are what its own drawing
// would give: through the raster engine, with no scaling, no clip of the
// painter's own and full opacity, in source-over or source mode. `offset` is
// where the painter's (0, 0) lies in the image, `clip` the part of the image
// the painter may touch (its engine's system clip, within the image and the
// engine's coordinate limit). No image when the painter is otherwise.
struct DirectImage {
  QImage* image = nullptr;
  QPoint offset;
  QRegion clip;
  bool sourceOver = false;
};
DirectImage DirectTarget(QPainter& p);

// Draws the lines in one opaque colour as the painter's fillRect would,
// inside what the painter may paint. Where the painter draws straight into a
// 32-bit image with no scaling (a widget's backing store), the pixels are
// written row by row: the painter fills a one-pixel-wide column a row at a
// time, and a column's rows each lie on their own page of memory, so the
// columns of a page of rows cost as much as the page's whole background.
void DrawGridLines(QPainter& p, const GridLines& lines, const QColor& colour);

}  // namespace rix
