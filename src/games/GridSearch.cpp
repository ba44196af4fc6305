#include "games/GridSearch.h"

#include <algorithm>
#include <string_view>

#include "widgets/GridData.h"

namespace rix {

bool FindInGrid(const GridData& grid, QByteArrayView text, int col, int row, int* hitCol,
                int* hitRow) {
  if (text.isEmpty()) return false;
  const std::string_view needle(text.data(), static_cast<size_t>(text.size()));
  for (int c = std::max(col, 0); c < grid.colCount(); ++c) {
    for (int r = c == col ? std::max(row, 1) : 1; r < grid.rowCount(); ++r) {
      const QByteArrayView cell = grid.cell(c, r);
      if (std::string_view(cell.data(), static_cast<size_t>(cell.size())).find(needle) !=
          std::string_view::npos) {
        *hitCol = c;
        *hitRow = r;
        return true;
      }
    }
  }
  return false;
}

}  // namespace rix
