#include "widgets/GridData.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace rix {

GridData::GridData(int cols, int rows) : colCount_(std::max(cols, 0)) {
  setRowCount(rows);
  modified_ = false;
}

GridData::Row GridData::newRow() {
  Row r;
  r.start = static_cast<std::uint32_t>(pool_.size());
  r.id = nextId_++;
  return r;
}

void GridData::setColCount(int cols) {
  cols = std::max(cols, 0);
  if (cols != colCount_) modified_ = true;
  colCount_ = cols;
}

void GridData::setRowCount(int rows) {
  rows = std::max(rows, 0);
  if (rows != rowCount()) modified_ = true;
  if (rowCount() > rows) {
    // The rows at the end go at once, as removing each in turn would leave them.
    for (size_t i = static_cast<size_t>(rows); i < rows_.size(); ++i) {
      const Row& r = rows_[i];
      for (std::uint32_t k = 0; k < r.count; ++k) liveBytes_ -= pool_[r.start + k].len;
      livePool_ -= r.count;
    }
    rows_.erase(rows_.begin() + rows, rows_.end());
    maybeCompact();
  }
  while (rowCount() < rows) rows_.push_back(newRow());
}

QByteArrayView GridData::cell(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0) return {};
  const Row& r = rows_[static_cast<size_t>(row)];
  if (static_cast<std::uint32_t>(col) >= r.count) return {};
  const CellRef& c = pool_[r.start + static_cast<std::uint32_t>(col)];
  return QByteArrayView(arena_.constData() + c.off, c.len);
}

void GridData::reserveCells(Row& r, std::uint32_t count) {
  if (count <= r.cap) {
    if (count > r.count) {
      std::fill(pool_.begin() + r.start + r.count, pool_.begin() + r.start + count, CellRef{});
      r.count = count;
    }
    return;
  }
  const bool atEnd = r.start + r.cap == pool_.size();
  if (atEnd) {
    // The row is the last one in the pool: grow it where it stands.
    pool_.resize(r.start + count);
  } else {
    const std::uint32_t cap = std::max<std::uint32_t>(count, std::max<std::uint32_t>(r.cap * 2, 8));
    const std::uint32_t start = static_cast<std::uint32_t>(pool_.size());
    pool_.resize(pool_.size() + cap);
    std::copy(pool_.begin() + r.start, pool_.begin() + r.start + r.count, pool_.begin() + start);
    r.start = start;
    count = std::max(count, r.count);
    livePool_ += cap - r.cap;
    r.cap = cap;
    std::fill(pool_.begin() + r.start + r.count, pool_.begin() + r.start + r.cap, CellRef{});
    r.count = count;
    return;
  }
  std::fill(pool_.begin() + r.start + r.count, pool_.begin() + r.start + count, CellRef{});
  livePool_ += count - r.cap;
  r.count = count;
  r.cap = count;
}

GridData::CellRef& GridData::slot(int col, int row) {
  Row& r = rows_[static_cast<size_t>(row)];
  if (static_cast<std::uint32_t>(col) >= r.count)
    reserveCells(r, static_cast<std::uint32_t>(col) + 1);
  return pool_[r.start + static_cast<std::uint32_t>(col)];
}

void GridData::setCell(int col, int row, QByteArrayView text) {
  if (row < 0 || row >= rowCount() || col < 0) return;
  if (cell(col, row) == text) return;
  modified_ = true;
  CellRef& c = slot(col, row);
  liveBytes_ -= c.len;
  if (text.isEmpty()) {
    c = CellRef{};
  } else {
    c.off = static_cast<std::uint32_t>(arena_.size());
    c.len = static_cast<std::uint32_t>(text.size());
    arena_.append(text.data(), text.size());
    liveBytes_ += c.len;
  }
  maybeCompact();
}

void GridData::maybeCompact() {
  // Stale bytes are kept until they outweigh the live ones.
  if (static_cast<std::uint64_t>(arena_.size()) > 2 * liveBytes_ + (1u << 20)) {
    QByteArray fresh;
    fresh.reserve(static_cast<qsizetype>(liveBytes_));
    for (Row& r : rows_) {
      for (std::uint32_t i = 0; i < r.count; ++i) {
        CellRef& c = pool_[r.start + i];
        if (c.len == 0) continue;
        const std::uint32_t off = static_cast<std::uint32_t>(fresh.size());
        fresh.append(arena_.constData() + c.off, c.len);
        c.off = off;
      }
    }
    arena_ = std::move(fresh);
  }
  // Rows keep their reserve, so that a row just moved to grow does not move again at once
  // (which made growing a wide row cell by cell quadratic).
  if (pool_.size() > 2 * livePool_ + 4096) {
    std::vector<CellRef> fresh;
    fresh.reserve(livePool_);
    for (Row& r : rows_) {
      const std::uint32_t start = static_cast<std::uint32_t>(fresh.size());
      fresh.insert(fresh.end(), pool_.begin() + r.start, pool_.begin() + r.start + r.cap);
      r.start = start;
    }
    pool_ = std::move(fresh);
  }
}

int GridData::cellImage(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0) return -1;
  const Row& r = rows_[static_cast<size_t>(row)];
  if (col == 0) return r.image0;
  if (!r.images || static_cast<size_t>(col) > r.images->size()) return -1;
  return (*r.images)[static_cast<size_t>(col) - 1];
}

void GridData::setCellImage(int col, int row, int index) {
  if (row < 0 || row >= rowCount() || col < 0) return;
  Row& r = rows_[static_cast<size_t>(row)];
  const std::int16_t value = static_cast<std::int16_t>(index < 0 ? -1 : index);
  if (col == 0) {
    r.image0 = value;
    return;
  }
  if (!r.images || static_cast<size_t>(col) > r.images->size()) {
    if (index < 0) return;
    if (!r.images) r.images = std::make_unique<std::vector<std::int16_t>>();
    r.images->resize(static_cast<size_t>(col), -1);
  }
  (*r.images)[static_cast<size_t>(col) - 1] = value;
}

void GridData::clearCells() {
  if (liveBytes_ > 0) modified_ = true;
  // Every row becomes empty, so the cells and their bytes can all go.
  for (Row& r : rows_) {
    r.start = r.count = r.cap = 0;
    r.image0 = -1;
    r.images.reset();
  }
  pool_.clear();
  arena_.clear();
  liveBytes_ = 0;
  livePool_ = 0;
}

void GridData::clearRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  Row& r = rows_[static_cast<size_t>(row)];
  for (std::uint32_t i = 0; i < r.count; ++i) {
    if (pool_[r.start + i].len > 0) modified_ = true;
    liveBytes_ -= pool_[r.start + i].len;
    pool_[r.start + i] = CellRef{};
  }
  r.image0 = -1;
  r.images.reset();
}

void GridData::insertRows(int at, int count) {
  if (count <= 0) return;
  at = std::clamp(at, 0, rowCount());
  modified_ = true;
  std::vector<Row> fresh(static_cast<size_t>(count));
  for (Row& r : fresh) r = newRow();
  rows_.insert(rows_.begin() + at, std::make_move_iterator(fresh.begin()),
               std::make_move_iterator(fresh.end()));
}

void GridData::removeRow(int at) {
  if (at < 0 || at >= rowCount()) return;
  modified_ = true;
  clearRow(at);
  livePool_ -= rows_[static_cast<size_t>(at)].cap;
  rows_.erase(rows_.begin() + at);
  maybeCompact();
}

int GridData::rowOfId(std::uint32_t id) const {
  for (int i = 0; i < rowCount(); ++i)
    if (rows_[static_cast<size_t>(i)].id == id) return i;
  return -1;
}

namespace {

// One row's cell of the column being compared, and where the row stands.
struct SortKey {
  const char* text;
  std::uint32_t len;
  std::uint32_t index;
};

inline int CompareKeys(const SortKey& a, const SortKey& b) {
  const std::uint32_t n = std::min(a.len, b.len);
  const int d = n ? std::memcmp(a.text, b.text, n) : 0;
  if (d != 0) return d;
  return a.len < b.len ? -1 : (a.len > b.len ? 1 : 0);
}

void StableSortKeys(std::vector<SortKey>::iterator first, std::vector<SortKey>::iterator last,
                    bool ascending) {
  if (ascending)
    std::stable_sort(first, last,
                     [](const SortKey& a, const SortKey& b) { return CompareKeys(a, b) < 0; });
  else
    std::stable_sort(first, last,
                     [](const SortKey& a, const SortKey& b) { return CompareKeys(a, b) > 0; });
}

}  // namespace

void GridData::sortRows(int col, bool ascending, int firstRow) {
  if (firstRow < 0 || firstRow >= rowCount() - 1 || col < 0) return;
  const int lastTie = colCount_ - 2;
  auto keyOf = [this, firstRow](std::uint32_t index, int c) {
    const Row& r = rows_[static_cast<size_t>(firstRow) + index];
    if (static_cast<std::uint32_t>(c) >= r.count) return SortKey{nullptr, 0, index};
    const CellRef& x = pool_[r.start + static_cast<std::uint32_t>(c)];
    return SortKey{arena_.constData() + x.off, x.len, index};
  };
  const size_t n = rows_.size() - static_cast<size_t>(firstRow);
  std::vector<SortKey> keys(n);
  for (size_t i = 0; i < n; ++i) keys[i] = keyOf(static_cast<std::uint32_t>(i), col);
  StableSortKeys(keys.begin(), keys.end(), ascending);
  // Only rows whose cells are equal so far are compared by the next column,
  // so each column to the right costs only as much as its ties.
  struct Run {
    size_t first, last;
    int col;
  };
  std::vector<Run> pending;
  auto queueTies = [&](size_t first, size_t last, int next) {
    if (next > lastTie) return;
    for (size_t i = first; i < last;) {
      size_t j = i + 1;
      while (j < last && CompareKeys(keys[i], keys[j]) == 0) ++j;
      if (j - i > 1) pending.push_back({i, j, next});
      i = j;
    }
  };
  queueTies(0, n, col + 1);
  while (!pending.empty()) {
    const Run run = pending.back();
    pending.pop_back();
    for (size_t i = run.first; i < run.last; ++i) keys[i] = keyOf(keys[i].index, run.col);
    StableSortKeys(keys.begin() + static_cast<std::ptrdiff_t>(run.first),
                   keys.begin() + static_cast<std::ptrdiff_t>(run.last), ascending);
    queueTies(run.first, run.last, run.col + 1);
  }
  std::vector<Row> sorted;
  sorted.reserve(n);
  for (const SortKey& k : keys) sorted.push_back(std::move(rows_[firstRow + k.index]));
  std::move(sorted.begin(), sorted.end(), rows_.begin() + firstRow);
}

std::uint32_t GridData::adoptBuffer(QByteArray&& bytes) {
  if (arena_.isEmpty()) {
    arena_ = std::move(bytes);
    return 0;
  }
  const std::uint32_t off = static_cast<std::uint32_t>(arena_.size());
  arena_.append(bytes);
  return off;
}

void GridData::setCellSlice(int col, int row, std::uint32_t offset, std::uint32_t length) {
  if (row < 0 || row >= rowCount() || col < 0) return;
  CellRef& c = slot(col, row);
  modified_ = true;
  liveBytes_ -= c.len;
  c.off = offset;
  c.len = length;
  liveBytes_ += length;
}

}  // namespace rix

namespace rix {

void GridData::reserve(qsizetype moreRows, qsizetype moreCells) {
  rows_.reserve(rows_.size() + static_cast<size_t>(moreRows));
  pool_.reserve(pool_.size() + static_cast<size_t>(moreCells));
}

void GridData::setRowSlices(int row, const std::uint32_t* offsetLength, int count) {
  if (row < 0 || row >= rowCount() || count <= 0) return;
  modified_ = true;
  Row& r = rows_[static_cast<size_t>(row)];
  if (r.count == 0) {
    // An empty row: its cells go to the end of the pool in one go.
    r.start = static_cast<std::uint32_t>(pool_.size());
    pool_.resize(r.start + static_cast<std::uint32_t>(count));
    CellRef* out = pool_.data() + r.start;
    for (int i = 0; i < count; ++i) {
      out[i].off = offsetLength[2 * i];
      out[i].len = offsetLength[2 * i + 1];
      liveBytes_ += out[i].len;
    }
    livePool_ += static_cast<std::uint32_t>(count);
    livePool_ -= r.cap;
    r.count = r.cap = static_cast<std::uint32_t>(count);
    return;
  }
  for (int i = 0; i < count; ++i)
    setCellSlice(i, row, offsetLength[2 * i], offsetLength[2 * i + 1]);
}

}  // namespace rix
