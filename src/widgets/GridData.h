#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace rix {

struct NarrowCell {
  std::uint16_t off = 0;
  std::uint16_t len = 0;
};
struct WideCell {
  std::uint32_t off = 0;
  std::uint32_t len = 0;
};

// The cells of a string grid: ColCount x RowCount byte strings (Big5), plus
// one optional image index per cell. Row 0 is the header row.
//
// Cells are slices of one byte arena, so a loaded file becomes cells without
// a copy per cell; changed cells are appended and the arena is compacted when
// most of it is stale. Views returned by cell() are valid until the next
// change to the grid.
class GridData {
public:
  GridData(int cols = 5, int rows = 5);

  int colCount() const { return colCount_; }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  void setColCount(int cols);
  void setRowCount(int rows);

  QByteArrayView cell(int col, int row) const;
  QByteArray cellBytes(int col, int row) const { return cell(col, row).toByteArray(); }
  void setCell(int col, int row, QByteArrayView text);

  // Whether cells or rows changed since the last setModified(false): every
  // change of a cell's text, of the row or column count, and every row
  // inserted, deleted or cleared sets it, whoever makes it. Cell images and
  // sorting do not (they change no text). Loads and saves clear it.
  bool modified() const { return modified_; }
  void setModified(bool on) { modified_ = on; }

  // -1 when the cell has no image.
  int cellImage(int col, int row) const;
  void setCellImage(int col, int row, int index);

  // Empties every cell and removes every image; the counts stay.
  void clearCells();
  void clearRow(int row);
  void insertRow(int at) { insertRows(at, 1); }
  // Empty rows at `at`; the rows below move down once, whatever the count.
  void insertRows(int at, int count);
  void removeRow(int at);

  // Stable identity of a row, carried along when rows move.
  std::uint32_t rowId(int row) const { return rows_[static_cast<size_t>(row)].id; }
  int rowOfId(std::uint32_t id) const;

  // Sorts rows firstRow..end by column col as bytes; equal cells are decided by
  // the columns to the right up to the last but one.
  void sortRows(int col, bool ascending, int firstRow);

  // Bulk loading: hands a buffer to the grid and returns the offset at which
  // its bytes start in the arena (0 when the arena was empty: no copy). The
  // caller may rewrite those bytes in place through arenaData() and then point
  // cells at slices of them with setCellSlice().
  std::uint32_t adoptBuffer(QByteArray&& bytes);
  // Room for this many more rows and cells, so a load grows nothing twice.
  void reserve(qsizetype moreRows, qsizetype moreCells);
  char* arenaData() { return arena_.data(); }
  void setCellSlice(int col, int row, std::uint32_t offset, std::uint32_t length);
  // Cells 0..count-1 of a row at once, from (offset, length) pairs.
  void setRowSlices(int row, const std::uint32_t* offsetLength, int count);

  // Raw access for writers that walk every cell: the cells a row stores (a
  // row may store fewer than colCount), each a slice of arenaBase().
  class RowCells {
  public:
    int size() const { return count_; }
    std::uint32_t offset(int i) const { return wide_ ? wide_[i].off : base_ + narrow_[i].off; }
    std::uint32_t length(int i) const { return wide_ ? wide_[i].len : narrow_[i].len; }
    QByteArrayView text(int i) const { return QByteArrayView(arena_ + offset(i), length(i)); }

  private:
    friend class GridData;
    const char* arena_ = nullptr;
    std::uint32_t base_ = 0;
    int count_ = 0;
    const NarrowCell* narrow_ = nullptr;
    const WideCell* wide_ = nullptr;
  };
  RowCells rowCells(int row) const;
  const char* arenaBase() const { return arena_.constData(); }
  // Storage in use, live or stale: cell slots and arena bytes.
  size_t cellSlots() const { return pool_.size() + widePool_.size(); }
  // Bytes the cell slots and the rows take, beside the arena's.
  size_t indexBytes() const;
  qsizetype arenaBytes() const { return arena_.size(); }

private:
  // A row's cells are kept as 16-bit offsets from the start of its line and
  // 16-bit lengths, four bytes a cell; a row that cannot be held so (a cell
  // of 64 KB or more, or cells spread that far) keeps 32-bit arena offsets.
  // A row record is sixteen bytes, as a long list has one per line: the cell
  // count, the flags and column 0's image share one word, and the room
  // reserved is the count itself unless the row has grown by moving, when it
  // is the power of two (at least 8) the move reserved.
  struct Row {
    static constexpr std::uint32_t kCountMask = (1u << 24) - 1;
    static constexpr std::uint32_t kWide = 1u << 24;
    static constexpr std::uint32_t kRoomy = 1u << 25;
    static constexpr int kImageShift = 26;
    // Column 0's image: 0 none, 1..62 images 0..61, 63 kept in images_.
    static constexpr std::uint32_t kImageInMap = 63;

    std::uint32_t base = 0;   // arena offset the narrow cells count from
    std::uint32_t start = 0;  // first cell in pool_, or in widePool_ when wide
    std::uint32_t id = 0;
    std::uint32_t bits = 0;

    std::uint32_t count() const { return bits & kCountMask; }
    std::uint32_t cap() const { return bits & kRoomy ? RoomFor(count()) : count(); }
    bool wide() const { return bits & kWide; }
    std::uint32_t imageCode() const { return bits >> kImageShift; }
    void setCount(std::uint32_t n) { bits = (bits & ~kCountMask) | n; }
    // count cells stored in room for cap (exactly RoomFor(count) or count).
    void setCountCap(std::uint32_t n, std::uint32_t room) {
      bits = (bits & ~(kCountMask | kRoomy)) | n | (room != n ? kRoomy : 0);
    }
    void setWide(bool on) { bits = on ? bits | kWide : bits & ~kWide; }
    void setImageCode(std::uint32_t code) {
      bits = (bits & ((1u << kImageShift) - 1)) | (code << kImageShift);
    }
    static std::uint32_t RoomFor(std::uint32_t n) {
      std::uint32_t room = 8;
      while (room < n) room *= 2;
      return room;
    }
  };
  static_assert(sizeof(Row) == 16);

public:
  // Cells at columns from this one on are not kept (a line of more than
  // sixteen million fields is no table a person wrote).
  static constexpr int kMaxRowCells = static_cast<int>(Row::kCountMask);

private:
  using Narrow = NarrowCell;
  using Wide = WideCell;

  QByteArrayView view(const Row& r, std::uint32_t col) const;
  // Points cell col of row at arena bytes [off, off + len).
  void place(int col, int row, std::uint32_t off, std::uint32_t len);
  void makeWide(Row& r);
  void reserveCells(Row& r, std::uint32_t count);
  void maybeCompact();
  Row newRow();

  int colCount_;
  std::vector<Row> rows_;
  std::vector<Narrow> pool_;
  std::vector<Wide> widePool_;
  // Images of columns 1.. (and column 0's above 61), rare, by row id; index = column.
  std::unordered_map<std::uint32_t, std::vector<std::int16_t>> images_;
  QByteArray arena_;
  std::uint64_t liveBytes_ = 0;
  std::uint64_t livePool_ = 0;  // cell slots reserved by narrow rows; the rest of pool_ is stale
  std::uint64_t liveWide_ = 0;  // the same for widePool_
  std::uint32_t nextId_ = 1;
  bool modified_ = false;
};

}  // namespace rix
