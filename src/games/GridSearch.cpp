#include "games/GridSearch.h"

#include <string.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "widgets/GridData.h"

namespace rix {

namespace {

// Whether any bit from..to (inclusive) is set.
bool AnyBit(const std::vector<std::uint64_t>& bits, size_t from, size_t to) {
  const size_t w0 = from >> 6, w1 = to >> 6;
  const std::uint64_t first = ~0ull << (from & 63);
  const std::uint64_t last = ~0ull >> (63 - (to & 63));
  if (w0 == w1) return (bits[w0] & first & last) != 0;
  if (bits[w0] & first) return true;
  for (size_t w = w0 + 1; w < w1; ++w)
    if (bits[w]) return true;
  return (bits[w1] & last) != 0;
}

}  // namespace

bool FindInGrid(const GridData& grid, QByteArrayView text, int col, int row, int* hitCol,
                int* hitRow) {
  if (text.isEmpty()) return false;
  // Every cell is a slice of the grid's byte arena, so one pass over the
  // arena finds every place the text could be; a text found nowhere in it is
  // in no cell, and otherwise only the cells holding one of those places
  // match.
  const char* arena = grid.arenaBase();
  const size_t size = static_cast<size_t>(grid.arenaBytes());
  const size_t n = static_cast<size_t>(text.size());
  if (size < n) return false;
  std::vector<std::uint64_t> starts;
  for (const char* p = arena; p + n <= arena + size;) {
    const char* hit =
        static_cast<const char*>(memmem(p, static_cast<size_t>(arena + size - p), text.data(), n));
    if (!hit) break;
    if (starts.empty()) starts.assign((size >> 6) + 1, 0);
    const size_t at = static_cast<size_t>(hit - arena);
    starts[at >> 6] |= 1ull << (at & 63);
    p = hit + 1;
  }
  if (starts.empty()) return false;
  for (int c = std::max(col, 0); c < grid.colCount(); ++c) {
    for (int r = c == col ? std::max(row, 1) : 1; r < grid.rowCount(); ++r) {
      const GridData::RowCells cells = grid.rowCells(r);
      if (c >= cells.size() || cells.length(c) < n) continue;
      const size_t off = cells.offset(c);
      if (AnyBit(starts, off, off + cells.length(c) - n)) {
        *hitCol = c;
        *hitRow = r;
        return true;
      }
    }
  }
  return false;
}

}  // namespace rix
