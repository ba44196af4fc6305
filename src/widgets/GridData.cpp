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
      for (std::uint32_t k = 0; k < r.count(); ++k) liveBytes_ -= view(r, k).size();
      (r.wide() ? liveWide_ : livePool_) -= r.cap();
      images_.erase(r.id);
    }
    rows_.erase(rows_.begin() + rows, rows_.end());
    maybeCompact();
  }
  while (rowCount() < rows) rows_.push_back(newRow());
}

QByteArrayView GridData::view(const Row& r, std::uint32_t col) const {
  if (r.wide()) {
    const Wide& c = widePool_[r.start + col];
    return QByteArrayView(arena_.constData() + c.off, c.len);
  }
  const Narrow& c = pool_[r.start + col];
  return QByteArrayView(arena_.constData() + r.base + c.off, c.len);
}

QByteArrayView GridData::cell(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0) return {};
  const Row& r = rows_[static_cast<size_t>(row)];
  if (static_cast<std::uint32_t>(col) >= r.count()) return {};
  return view(r, static_cast<std::uint32_t>(col));
}

size_t GridData::indexBytes() const {
  return pool_.size() * sizeof(Narrow) + widePool_.size() * sizeof(Wide) +
         rows_.size() * sizeof(Row);
}

GridData::RowCells GridData::rowCells(int row) const {
  const Row& r = rows_[static_cast<size_t>(row)];
  RowCells c;
  c.arena_ = arena_.constData();
  c.base_ = r.base;
  c.count_ = static_cast<int>(r.count());
  if (r.wide())
    c.wide_ = widePool_.data() + r.start;
  else
    c.narrow_ = pool_.data() + r.start;
  return c;
}

namespace {

// Grows one row's slots in a pool whose rows lie end to end: in place when
// the row is the last one, else moved to the end with room to spare.
template <typename Cell>
void GrowSlots(std::vector<Cell>& pool, std::uint32_t& start, std::uint32_t& cap,
               std::uint32_t& stored, std::uint32_t count, std::uint64_t& live,
               std::uint32_t (*roomFor)(std::uint32_t)) {
  if (count <= cap) {
    if (count > stored) {
      std::fill(pool.begin() + start + stored, pool.begin() + start + count, Cell{});
      stored = count;
    }
    return;
  }
  if (start + cap == pool.size()) {
    pool.resize(start + count);
    std::fill(pool.begin() + start + stored, pool.begin() + start + count, Cell{});
    live += count - cap;
    stored = cap = count;
    return;
  }
  const std::uint32_t grown = roomFor(count);
  const std::uint32_t at = static_cast<std::uint32_t>(pool.size());
  pool.resize(pool.size() + grown);
  std::copy(pool.begin() + start, pool.begin() + start + stored, pool.begin() + at);
  std::fill(pool.begin() + at + stored, pool.begin() + at + grown, Cell{});
  live += grown - cap;
  start = at;
  cap = grown;
  stored = count;
}

}  // namespace

void GridData::reserveCells(Row& r, std::uint32_t count) {
  std::uint32_t cap = r.cap();
  std::uint32_t stored = r.count();
  if (r.wide())
    GrowSlots(widePool_, r.start, cap, stored, count, liveWide_, &Row::RoomFor);
  else
    GrowSlots(pool_, r.start, cap, stored, count, livePool_, &Row::RoomFor);
  r.setCountCap(stored, cap);
}

void GridData::makeWide(Row& r) {
  const std::uint32_t at = static_cast<std::uint32_t>(widePool_.size());
  widePool_.resize(at + r.cap());
  for (std::uint32_t i = 0; i < r.count(); ++i) {
    const Narrow& n = pool_[r.start + i];
    widePool_[at + i] = Wide{r.base + n.off, n.len};
  }
  livePool_ -= r.cap();
  liveWide_ += r.cap();
  r.start = at;
  r.setWide(true);
}

void GridData::place(int col, int row, std::uint32_t off, std::uint32_t len) {
  Row& r = rows_[static_cast<size_t>(row)];
  const std::uint32_t c = static_cast<std::uint32_t>(col);
  if (c >= r.count()) reserveCells(r, c + 1);
  liveBytes_ -= view(r, c).size();
  liveBytes_ += len;
  if (r.wide()) {
    widePool_[r.start + c] = Wide{len ? off : 0, len};
    return;
  }
  if (len == 0) {
    pool_[r.start + c] = Narrow{};
    return;
  }
  bool anyBytes = false;
  for (std::uint32_t i = 0; i < r.count() && !anyBytes; ++i)
    anyBytes = i != c && pool_[r.start + i].len;
  if (!anyBytes) r.base = off;
  if (off >= r.base && off - r.base <= 0xFFFF && len <= 0xFFFF) {
    pool_[r.start + c] =
        Narrow{static_cast<std::uint16_t>(off - r.base), static_cast<std::uint16_t>(len)};
    return;
  }
  makeWide(r);
  widePool_[r.start + c] = Wide{off, len};
}

void GridData::setCell(int col, int row, QByteArrayView text) {
  if (row < 0 || row >= rowCount() || col < 0 || col >= kMaxRowCells) return;
  if (cell(col, row) == text) return;
  modified_ = true;
  Row& r = rows_[static_cast<size_t>(row)];
  const std::uint32_t c = static_cast<std::uint32_t>(col);
  if (!r.wide() && !text.isEmpty() && c < r.count() + 64) {
    // A short row is written anew at the arena's end with the new text, so
    // that its cells stay close together and narrow.
    std::uint64_t rowBytes = static_cast<std::uint64_t>(text.size());
    for (std::uint32_t i = 0; i < r.count(); ++i)
      if (i != c) rowBytes += pool_[r.start + i].len;
    if (rowBytes <= 4096) {
      QByteArray line;
      line.reserve(static_cast<qsizetype>(rowBytes));
      for (std::uint32_t i = 0; i < r.count(); ++i) {
        Narrow& n = pool_[r.start + i];
        if (i == c || n.len == 0) continue;
        const std::uint32_t at = static_cast<std::uint32_t>(line.size());
        line.append(arena_.constData() + r.base + n.off, n.len);
        n.off = static_cast<std::uint16_t>(at);
      }
      const std::uint32_t at = static_cast<std::uint32_t>(line.size());
      line.append(text.data(), text.size());
      const std::uint32_t base = static_cast<std::uint32_t>(arena_.size());
      arena_.append(line);
      r.base = base;
      place(col, row, base + at, static_cast<std::uint32_t>(text.size()));
      maybeCompact();
      return;
    }
  }
  const std::uint32_t off = static_cast<std::uint32_t>(arena_.size());
  arena_.append(text.data(), text.size());
  place(col, row, off, static_cast<std::uint32_t>(text.size()));
  maybeCompact();
}

void GridData::maybeCompact() {
  // Stale bytes are kept until they outweigh the live ones.
  if (static_cast<std::uint64_t>(arena_.size()) > 2 * liveBytes_ + (1u << 20)) {
    QByteArray fresh;
    fresh.reserve(static_cast<qsizetype>(liveBytes_));
    for (Row& r : rows_) {
      if (!r.wide()) {
        std::uint64_t total = 0;
        for (std::uint32_t i = 0; i < r.count(); ++i) total += pool_[r.start + i].len;
        if (total > 0xFFFF) makeWide(r);
      }
      if (r.wide()) {
        for (std::uint32_t i = 0; i < r.count(); ++i) {
          Wide& c = widePool_[r.start + i];
          if (c.len == 0) continue;
          const std::uint32_t off = static_cast<std::uint32_t>(fresh.size());
          fresh.append(arena_.constData() + c.off, c.len);
          c.off = off;
        }
        continue;
      }
      // A narrow row's cells go end to end from a new base.
      const std::uint32_t base = static_cast<std::uint32_t>(fresh.size());
      for (std::uint32_t i = 0; i < r.count(); ++i) {
        Narrow& c = pool_[r.start + i];
        if (c.len == 0) continue;
        const std::uint32_t at = static_cast<std::uint32_t>(fresh.size()) - base;
        fresh.append(arena_.constData() + r.base + c.off, c.len);
        c.off = static_cast<std::uint16_t>(at);
      }
      r.base = base;
    }
    arena_ = std::move(fresh);
  }
  // Rows keep their reserve, so that a row just moved to grow does not move again at once
  // (which made growing a wide row cell by cell quadratic).
  if (pool_.size() > 2 * livePool_ + 4096) {
    std::vector<Narrow> fresh;
    fresh.reserve(livePool_);
    for (Row& r : rows_) {
      if (r.wide()) continue;
      const std::uint32_t start = static_cast<std::uint32_t>(fresh.size());
      fresh.insert(fresh.end(), pool_.begin() + r.start, pool_.begin() + r.start + r.cap());
      r.start = start;
    }
    pool_ = std::move(fresh);
  }
  if (widePool_.size() > 2 * liveWide_ + 4096) {
    std::vector<Wide> fresh;
    fresh.reserve(liveWide_);
    for (Row& r : rows_) {
      if (!r.wide()) continue;
      const std::uint32_t start = static_cast<std::uint32_t>(fresh.size());
      fresh.insert(fresh.end(), widePool_.begin() + r.start, widePool_.begin() + r.start + r.cap());
      r.start = start;
    }
    widePool_ = std::move(fresh);
  }
}

int GridData::cellImage(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0) return -1;
  const Row& r = rows_[static_cast<size_t>(row)];
  if (col == 0 && r.imageCode() != Row::kImageInMap) return static_cast<int>(r.imageCode()) - 1;
  const auto it = images_.find(r.id);
  if (it == images_.end() || static_cast<size_t>(col) >= it->second.size()) return -1;
  return it->second[static_cast<size_t>(col)];
}

void GridData::setCellImage(int col, int row, int index) {
  if (row < 0 || row >= rowCount() || col < 0) return;
  Row& r = rows_[static_cast<size_t>(row)];
  const std::int16_t value = static_cast<std::int16_t>(index < 0 || index > 0x7FFF ? -1 : index);
  auto it = images_.find(r.id);
  if (col == 0) {
    if (value + 1 < static_cast<int>(Row::kImageInMap)) {
      r.setImageCode(static_cast<std::uint32_t>(value + 1));
      if (it != images_.end()) it->second[0] = -1;
      return;
    }
    r.setImageCode(Row::kImageInMap);
  }
  if (it == images_.end() || static_cast<size_t>(col) >= it->second.size()) {
    if (value < 0) return;
    if (it == images_.end()) it = images_.emplace(r.id, std::vector<std::int16_t>()).first;
    it->second.resize(static_cast<size_t>(col) + 1, -1);
  }
  it->second[static_cast<size_t>(col)] = value;
}

void GridData::clearCells() {
  if (liveBytes_ > 0) modified_ = true;
  // Every row becomes empty, so the cells and their bytes can all go.
  for (Row& r : rows_) {
    r.base = r.start = 0;
    r.bits = 0;
  }
  images_.clear();
  pool_.clear();
  widePool_.clear();
  arena_.clear();
  liveBytes_ = 0;
  livePool_ = 0;
  liveWide_ = 0;
}

void GridData::clearRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  Row& r = rows_[static_cast<size_t>(row)];
  for (std::uint32_t i = 0; i < r.count(); ++i) {
    const std::uint32_t len = static_cast<std::uint32_t>(view(r, i).size());
    if (len > 0) modified_ = true;
    liveBytes_ -= len;
    if (r.wide())
      widePool_[r.start + i] = Wide{};
    else
      pool_[r.start + i] = Narrow{};
  }
  r.setImageCode(0);
  images_.erase(r.id);
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
  const Row& r = rows_[static_cast<size_t>(at)];
  (r.wide() ? liveWide_ : livePool_) -= r.cap();
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
    if (static_cast<std::uint32_t>(c) >= r.count()) return SortKey{nullptr, 0, index};
    const QByteArrayView x = view(r, static_cast<std::uint32_t>(c));
    return SortKey{x.data(), static_cast<std::uint32_t>(x.size()), index};
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
  if (row < 0 || row >= rowCount() || col < 0 || col >= kMaxRowCells) return;
  modified_ = true;
  place(col, row, offset, length);
}

}  // namespace rix

namespace rix {

void GridData::reserve(qsizetype moreRows, qsizetype moreCells) {
  rows_.reserve(rows_.size() + static_cast<size_t>(moreRows));
  pool_.reserve(pool_.size() + static_cast<size_t>(moreCells));
}

void GridData::setRowSlices(int row, const std::uint32_t* offsetLength, int count) {
  if (row < 0 || row >= rowCount() || count <= 0) return;
  count = std::min(count, kMaxRowCells);
  modified_ = true;
  Row& r = rows_[static_cast<size_t>(row)];
  if (r.count() == 0 && !r.wide()) {
    // An empty row: its cells go to the end of the pool in one go, counted
    // from the first cell, as a line's cells follow each other.
    const std::uint32_t base = offsetLength[0];
    const std::uint32_t start = static_cast<std::uint32_t>(pool_.size());
    // Appended one by one into the room a load reserves: no zeroing first.
    std::uint32_t spread = 0;
    std::uint64_t bytes = 0;
    for (int i = 0; i < count; ++i) {
      const std::uint32_t len = offsetLength[2 * i + 1];
      const std::uint32_t rel = len ? offsetLength[2 * i] - base : 0;
      spread |= rel | len;
      pool_.push_back(Narrow{static_cast<std::uint16_t>(rel), static_cast<std::uint16_t>(len)});
      bytes += len;
    }
    if (spread <= 0xFFFF) {
      liveBytes_ += bytes;
      livePool_ += static_cast<std::uint32_t>(count);
      livePool_ -= r.cap();
      r.base = base;
      r.start = start;
      r.setCountCap(static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(count));
      return;
    }
    // Too long or too far apart for 16 bits (a cell before the first one
    // wraps round to a large offset too): cell by cell below.
    pool_.resize(start);
  }
  for (int i = 0; i < count; ++i) place(i, row, offsetLength[2 * i], offsetLength[2 * i + 1]);
}

}  // namespace rix
