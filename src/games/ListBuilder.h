#pragma once

namespace rix {

class DirectorySearch;
class GridData;
class StringGrid;

// A game list row counts as blank when its columns 0 to 4 are all empty after
// trimming.
bool IsBlankListRow(const GridData& grid, int row);

// Adds the files a search found (directories are skipped) to a game list, as
// one insertion per file at the current row would: the names end up in the
// reverse of the search's order from the current row down, the last one found
// at the current row. A blank current row takes the first name instead of a
// new row. Only column 3 of the new rows is written, with each name's Big5
// form; the cursor stays. Returns the number of files added.
int AddFoundFiles(StringGrid& grid, const DirectorySearch& found);

}  // namespace rix
