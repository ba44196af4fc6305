#pragma once

#include <QColor>
#include <QRect>
#include <span>

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

// Draws the lines in one opaque colour as the painter's fillRect would,
// inside what the painter may paint. Where the painter draws straight into a
// 32-bit image with no scaling (a widget's backing store), the pixels are
// written row by row: the painter fills a one-pixel-wide column a row at a
// time, and a column's rows each lie on their own page of memory, so the
// columns of a page of rows cost as much as the page's whole background.
void DrawGridLines(QPainter& p, const GridLines& lines, const QColor& colour);

}  // namespace rix
