#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <optional>

namespace rix {

class DirectorySearch;
class GridData;
class StringGrid;

// A game list row counts as blank when its columns 0 to 4 are all empty after
// trimming.
bool IsBlankListRow(const GridData& grid, int row);

// What a list building did: the files added, and those left out because a
// list cannot hold their names.
struct AddedFiles {
  int added = 0;
  int leftOut = 0;
};

// The cell a found file's name becomes, or nothing when a list cannot hold
// it: a name with CR or LF would split its row, and a UTF-8 name with a
// character Big5 lacks would become another file's name. A name that is not
// UTF-8 is kept as its bytes. A UTF-8 name whose Big5 form is the very name
// of another file in the search (`taken`) keeps its own bytes, so that each
// of the two finds its own file.
std::optional<QByteArray> ListCellOfFileName(QByteArrayView name,
                                             const std::function<bool(QByteArrayView)>& taken);

// Adds the files a search found (directories are skipped) to a game list, as
// one insertion per file at the current row would: the names end up in the
// reverse of the search's order from the current row down, the last one found
// at the current row. A blank current row takes the first name instead of a
// new row. Only column 3 of the new rows is written, with each name's cell as
// ListCellOfFileName gives it; the cursor stays.
AddedFiles AddFoundFiles(StringGrid& grid, const DirectorySearch& found);

}  // namespace rix
