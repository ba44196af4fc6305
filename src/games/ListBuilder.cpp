#include "games/ListBuilder.h"

#include <QSet>
#include <vector>

#include "games/GameListColumns.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectorySearch.h"
#include "widgets/StringGrid.h"

namespace rix {

namespace {

constexpr int kBlankCols = 5;

}  // namespace

bool IsBlankListRow(const GridData& grid, int row) {
  for (int c = 0; c < kBlankCols; ++c)
    if (!TrimBytes(grid.cell(c, row)).isEmpty()) return false;
  return true;
}

std::optional<QByteArray> ListCellOfFileName(QByteArrayView name,
                                             const std::function<bool(QByteArrayView)>& taken) {
  if (name.contains('\r') || name.contains('\n')) return std::nullopt;
  // ASCII, or not UTF-8: listed by its own bytes.
  const QByteArray big5 = Big5OfFileName(name);
  if (big5 == name) return big5;
  if (Big5Decode(big5) != QString::fromUtf8(name)) return std::nullopt;
  if (taken(big5)) return name.toByteArray();
  return big5;
}

AddedFiles AddFoundFiles(StringGrid& grid, const DirectorySearch& found) {
  // Names as the search found them, so that a Big5 form can be told from the
  // raw name of another file; gathered at the first UTF-8 name that needs it.
  QSet<QByteArrayView> names;
  auto taken = [&](QByteArrayView n) {
    if (names.isEmpty()) {
      for (qsizetype i = 0; i < found.size(); ++i)
        if (!found.isDirectory(i)) names.insert(found.name(i));
    }
    return names.contains(n);
  };
  AddedFiles result;
  std::vector<QByteArray> cells;
  cells.reserve(static_cast<size_t>(found.size()));
  for (qsizetype i = 0; i < found.size(); ++i) {
    if (found.isDirectory(i)) continue;
    if (std::optional<QByteArray> cell = ListCellOfFileName(found.name(i), taken))
      cells.push_back(std::move(*cell));
    else
      ++result.leftOut;
  }
  const int count = static_cast<int>(cells.size());
  result.added = count;
  if (count == 0) return result;
  const int at = grid.row();
  const bool reuse = IsBlankListRow(grid.data(), at);
  // All rows go in at once: inserting them one by one at the same index
  // would move the rows below once per file.
  grid.beginBulkChange();
  grid.insertRows(at, reuse ? count - 1 : count);
  for (int k = 0; k < count; ++k) grid.setCell(gamecol::Game, at + k, cells[count - 1 - k]);
  grid.endBulkChange();
  return result;
}

}  // namespace rix
