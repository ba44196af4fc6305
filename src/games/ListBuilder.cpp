#include "games/ListBuilder.h"

#include <vector>

#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectorySearch.h"
#include "widgets/StringGrid.h"

namespace rix {

namespace {

constexpr int kGameCol = 3;
constexpr int kBlankCols = 5;

}  // namespace

bool IsBlankListRow(const GridData& grid, int row) {
  for (int c = 0; c < kBlankCols; ++c)
    if (!TrimBytes(grid.cell(c, row)).isEmpty()) return false;
  return true;
}

int AddFoundFiles(StringGrid& grid, const DirectorySearch& found) {
  std::vector<qsizetype> files;
  files.reserve(static_cast<size_t>(found.size()));
  for (qsizetype i = 0; i < found.size(); ++i)
    if (!found.isDirectory(i)) files.push_back(i);
  const int count = static_cast<int>(files.size());
  if (count == 0) return 0;
  const int at = grid.row();
  const bool reuse = IsBlankListRow(grid.data(), at);
  // All rows go in at once: inserting them one by one at the same index
  // would move the rows below once per file.
  grid.beginBulkChange();
  grid.insertRows(at, reuse ? count - 1 : count);
  for (int k = 0; k < count; ++k)
    grid.setCell(kGameCol, at + k, Big5OfFileName(found.name(files[count - 1 - k])));
  grid.endBulkChange();
  return count;
}

}  // namespace rix
