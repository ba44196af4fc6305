#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <algorithm>
#include <vector>

#include "widgets/GridData.h"

using namespace rix;

namespace {

// The grid's cells and column images as plain vectors, to hold it to.
struct Reference {
  std::vector<std::vector<QByteArray>> cells;
  std::vector<std::vector<int>> images;
};

QByteArray RandomText(QRandomGenerator& rng) {
  switch (rng.bounded(8)) {
    case 0:
      return {};
    case 1:  // as long as a 16-bit length can not hold
      return QByteArray(70000 + static_cast<int>(rng.bounded(100)), 'W');
    case 2:
      return QByteArray(30000, 'h');
    default:
      return "t" + QByteArray::number(rng.bounded(100000));
  }
}

void ExpectSame(const GridData& g, const Reference& ref, int step) {
  ASSERT_EQ(g.rowCount(), static_cast<int>(ref.cells.size())) << step;
  for (int r = 0; r < g.rowCount(); ++r) {
    const GridData::RowCells cells = g.rowCells(r);
    for (int c = 0; c < g.colCount(); ++c) {
      const QByteArray& want = ref.cells[size_t(r)][size_t(c)];
      ASSERT_EQ(g.cell(c, r), want) << "step " << step << " cell " << c << "," << r;
      ASSERT_EQ(c < cells.size() ? cells.text(c) : QByteArrayView(), want) << step;
      if (c < cells.size()) {
        ASSERT_EQ(QByteArrayView(g.arenaBase() + cells.offset(c), cells.length(c)), want);
      }
      ASSERT_EQ(g.cellImage(c, r), ref.images[size_t(r)][size_t(c)]) << step;
    }
  }
}

}  // namespace

// Cells kept as offsets from their row's line: loads, edits that move a row's
// bytes, cells too long or too far apart for 16 bits, compaction, sorting,
// row removal (one by one and at the end at once) and images of any column
// and number, all against plain vectors.
TEST(GridData, CompactCellsHoldWhatWasWrittenThroughEveryChange) {
  constexpr int kCols = 4;
  QRandomGenerator rng(25);
  GridData g(kCols, 0);
  Reference ref;
  // A load: rows as slices of one adopted buffer.
  QByteArray buffer;
  std::vector<std::uint32_t> slices;
  for (int r = 0; r < 40; ++r) {
    ref.cells.emplace_back();
    ref.images.emplace_back(kCols, -1);
    for (int c = 0; c < kCols; ++c) {
      const QByteArray t = r % 13 == 5 && c == 2 ? QByteArray(66000, 'L') : RandomText(rng);
      slices.push_back(static_cast<std::uint32_t>(buffer.size()));
      slices.push_back(static_cast<std::uint32_t>(t.size()));
      buffer += t + ',';
      ref.cells.back().push_back(t);
    }
  }
  g.setRowCount(40);
  const std::uint32_t at = g.adoptBuffer(std::move(buffer));
  ASSERT_EQ(at, 0u);
  for (int r = 0; r < 40; ++r) g.setRowSlices(r, slices.data() + size_t(r) * 2 * kCols, kCols);
  ExpectSame(g, ref, -1);

  for (int step = 0; step < 3000; ++step) {
    const int rows = g.rowCount();
    const int op = static_cast<int>(rng.bounded(100));
    if (op < 70 && rows > 0) {
      const int r = static_cast<int>(rng.bounded(rows));
      const int c = static_cast<int>(rng.bounded(kCols));
      const QByteArray t = RandomText(rng);
      g.setCell(c, r, t);
      ref.cells[size_t(r)][size_t(c)] = t;
    } else if (op < 78 && rows > 0) {
      const int r = static_cast<int>(rng.bounded(rows));
      const int c = static_cast<int>(rng.bounded(kCols));
      // Small numbers as the markers use, and ones past what a row keeps
      // beside its cells.
      const int images[] = {-1, 0, 1, 61, 62, 63, 300};
      const int image = images[rng.bounded(7)];
      g.setCellImage(c, r, image);
      ref.images[size_t(r)][size_t(c)] = image;
    } else if (op < 84) {
      const int r = static_cast<int>(rng.bounded(rows + 1));
      g.insertRow(r);
      ref.cells.insert(ref.cells.begin() + r, std::vector<QByteArray>(kCols));
      ref.images.insert(ref.images.begin() + r, std::vector<int>(kCols, -1));
    } else if (op < 90 && rows > 0) {
      const int r = static_cast<int>(rng.bounded(rows));
      g.removeRow(r);
      ref.cells.erase(ref.cells.begin() + r);
      ref.images.erase(ref.images.begin() + r);
    } else if (op < 94 && rows > 0) {
      const int r = static_cast<int>(rng.bounded(rows));
      g.clearRow(r);
      ref.cells[size_t(r)].assign(kCols, {});
      ref.images[size_t(r)].assign(kCols, -1);
    } else if (op < 95 && rows > 0) {
      // The last rows go at once, wide ones among them.
      const int keep = rows - 1 - static_cast<int>(rng.bounded(std::min(rows, 4)));
      g.setRowCount(keep);
      ref.cells.resize(size_t(keep));
      ref.images.resize(size_t(keep));
    } else if (op < 98 && rows > 2) {
      // By column 1 alone: the reference sorts by it stably, ties by the
      // next columns up to the last but one, as the grid does.
      const bool asc = rng.bounded(2) == 0;
      std::vector<size_t> order(size_t(rows) - 1);
      for (size_t i = 0; i < order.size(); ++i) order[i] = i + 1;
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (int c = 1; c <= kCols - 2; ++c) {
          const int d = ref.cells[a][size_t(c)].compare(ref.cells[b][size_t(c)]);
          if (d != 0) return asc ? d < 0 : d > 0;
        }
        return false;
      });
      Reference sorted{{ref.cells[0]}, {ref.images[0]}};
      for (size_t i : order) {
        sorted.cells.push_back(ref.cells[i]);
        sorted.images.push_back(ref.images[i]);
      }
      ref = sorted;
      g.sortRows(1, asc, 1);
    } else {
      ExpectSame(g, ref, step);
    }
    if (step % 97 == 0) ExpectSame(g, ref, step);
  }
  ExpectSame(g, ref, 3000);
  g.clearCells();
  for (auto& row : ref.cells) row.assign(kCols, {});
  for (auto& row : ref.images) row.assign(kCols, -1);
  ExpectSame(g, ref, 3001);
}
