#pragma once

namespace rix {

class GridData;

// What a column conversion does to each data cell; the values are the tags of
// the column tool menu items.
enum class ColumnOp { Upper = 0, Lower = 1, Trim = 2, Align = 3 };

// Converts the data rows (1 and below) of one column; the header row keeps its
// titles. Align trims every cell and pads it with spaces to the widest trimmed
// cell of the column, widths counted in bytes so that a double-byte character
// takes the room of two. A column outside the grid is left alone.
void ConvertColumn(GridData& grid, int col, ColumnOp op);

// Aligns every column, each to its own width.
void AlignAllColumns(GridData& grid);

}  // namespace rix
