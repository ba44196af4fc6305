#pragma once

#include <QByteArrayView>

namespace rix {

class GridData;

// Looks for `text` in the data cells of a grid as a case-sensitive run of
// bytes, column by column and down each column, starting at (col, row) itself.
// The header row 0 is never searched and an empty text matches nothing. A
// start beyond the last row goes on with the next column, so a position kept
// from a longer list is safe. Returns whether a cell matched, and which.
bool FindInGrid(const GridData& grid, QByteArrayView text, int col, int row, int* hitCol,
                int* hitRow);

}  // namespace rix
