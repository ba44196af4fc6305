#include "games/ColumnTools.h"

#include <algorithm>

#include "platform/ByteText.h"
#include "widgets/GridData.h"

namespace rix {

namespace {

// Writes only cells that change, so a pass over a long list leaves the
// untouched cells where they are stored.
void Store(GridData& grid, int col, int row, const QByteArray& text) {
  if (grid.cell(col, row) != QByteArrayView(text)) grid.setCell(col, row, text);
}

void AlignColumn(GridData& grid, int col) {
  qsizetype width = 0;
  for (int r = 1; r < grid.rowCount(); ++r) {
    const QByteArray trimmed = TrimBytes(grid.cell(col, r));
    width = std::max(width, trimmed.size());
    Store(grid, col, r, trimmed);
  }
  for (int r = 1; r < grid.rowCount(); ++r) {
    const QByteArrayView text = grid.cell(col, r);
    if (text.size() < width)
      Store(grid, col, r, text.toByteArray() + QByteArray(width - text.size(), ' '));
  }
}

}  // namespace

void ConvertColumn(GridData& grid, int col, ColumnOp op) {
  if (col < 0 || col >= grid.colCount()) return;
  if (op == ColumnOp::Align) {
    AlignColumn(grid, col);
    return;
  }
  for (int r = 1; r < grid.rowCount(); ++r) {
    const QByteArrayView text = grid.cell(col, r);
    switch (op) {
      case ColumnOp::Upper:
        Store(grid, col, r, UpperAscii(text));
        break;
      case ColumnOp::Lower:
        Store(grid, col, r, LowerAscii(text));
        break;
      default:
        Store(grid, col, r, TrimBytes(text));
        break;
    }
  }
}

void AlignAllColumns(GridData& grid) {
  for (int c = 0; c < grid.colCount(); ++c) AlignColumn(grid, c);
}

}  // namespace rix
