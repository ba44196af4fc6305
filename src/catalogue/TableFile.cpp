#include "catalogue/TableFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/ChunkWriter.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"
#include "widgets/StringGrid.h"

namespace rix {

namespace {

// Drops every double quote that directly follows another one, in place.
// Returns the new length.
std::uint32_t CollapseQuotes(char* p, std::uint32_t n) {
  if (!std::memchr(p, '"', n)) return n;
  std::uint32_t w = 0;
  char prev = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    const char ch = p[i];
    if (!(ch == '"' && prev == '"')) p[w++] = ch;
    prev = ch;
  }
  return w;
}

// One line: [b, e) in the arena. Cells point at slices of it; quoted fields
// are rewritten in place, since the value never grows.
void ParseLine(GridData& grid, char* base, std::uint32_t b, std::uint32_t e, int row,
               std::vector<std::uint32_t>& fields) {
  fields.clear();
  auto put = [&](std::uint32_t off, std::uint32_t len) {
    fields.push_back(off);
    fields.push_back(len);
  };
  std::uint32_t pos = b;
  for (;;) {
    const char* comma = static_cast<const char*>(std::memchr(base + pos, ',', e - pos));
    if (!comma) break;
    if (base[pos] == '"') {
      // Quoted field: the closing quote is the first one not followed by
      // another quote (one at the very end of the line closes too).
      const std::uint32_t start = pos + 1;
      std::uint32_t close = start;
      bool found = false;
      if (const char* q = static_cast<const char*>(std::memchr(base + start, '"', e - start))) {
        close = static_cast<std::uint32_t>(q - base);
        while (close + 1 < e && base[close + 1] == '"') ++close;
        found = true;
      }
      if (found) {
        put(start, CollapseQuotes(base + start, close - start));
        const char* next = static_cast<const char*>(std::memchr(base + close, ',', e - close));
        if (!next) {
          pos = e;  // nothing after the closing quote: the line is done
          break;
        }
        pos = static_cast<std::uint32_t>(next - base) + 1;
      } else {
        put(0, 0);
        pos = static_cast<std::uint32_t>(comma - base) + 1;
      }
    } else {
      put(pos, static_cast<std::uint32_t>(comma - base) - pos);
      pos = static_cast<std::uint32_t>(comma - base) + 1;
    }
  }
  if (pos < e) {
    // The last field: one quote off each end, doubled quotes collapsed.
    std::uint32_t s = pos;
    std::uint32_t n = e - pos;
    if (base[s] == '"') {
      ++s;
      --n;
    }
    if (n > 0 && base[s + n - 1] == '"') --n;
    put(s, CollapseQuotes(base + s, n));
  }
  const int c = static_cast<int>(fields.size() / 2);
  if (c > grid.colCount()) grid.setColCount(c);
  grid.setRowSlices(row, fields.data(), c);
}

}  // namespace

void ParseTableBytes(GridData& grid, QByteArray&& bytes) {
  // Ctrl-Z ends the file wherever it stands.
  if (const char* z = static_cast<const char*>(std::memchr(bytes.constData(), 26, bytes.size())))
    bytes.truncate(z - bytes.constData());
  if (bytes.isEmpty()) return;
  const std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
  {
    // Count the lines first, so that the grid grows once.
    qsizetype lines = 1;
    const char* p = bytes.constData();
    const char* e = p + bytes.size();
    for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\r', e - q))); ++q)
      ++lines;
    grid.reserve(lines, lines * std::max(grid.colCount(), 1));
  }
  const std::uint32_t off = grid.adoptBuffer(std::move(bytes));
  char* base = grid.arenaData();
  const std::uint32_t end = off + size;
  std::uint32_t pos = off;
  int row = 0;
  std::vector<std::uint32_t> fields;
  fields.reserve(64);
  while (pos < end) {
    const char* cr = static_cast<const char*>(std::memchr(base + pos, '\r', end - pos));
    const std::uint32_t lineEnd = cr ? static_cast<std::uint32_t>(cr - base) : end;
    if (row >= grid.rowCount()) grid.setRowCount(row + 1);
    ParseLine(grid, base, pos, lineEnd, row, fields);
    ++row;
    pos = lineEnd + 1;
    if (cr && pos < end && base[pos] == '\n') ++pos;
    base = grid.arenaData();
  }
}

void FormatTableBytes(const GridData& grid,
                      const std::function<void(const char*, qsizetype)>& sink) {
  ChunkWriter out(sink);
  const int rows = grid.rowCount();
  const int cols = grid.colCount();
  for (int r = 0; r < rows; ++r) {
    const GridData::RowCells cells = grid.rowCells(r);
    const int stored = cells.size();
    for (int c = 0; c < cols; ++c) {
      const QByteArrayView t = c < stored ? cells.text(c) : QByteArrayView();
      const bool quote = !t.isEmpty() && std::memchr(t.data(), ',', static_cast<size_t>(t.size()));
      const qsizetype need = (t.isEmpty() ? 2 : t.size() + (quote ? 2 : 0)) + 3;
      if (need > ChunkWriter::kSize) {
        if (c > 0) out.put(",");
        if (quote) out.put("\"");
        out.put(t);
        if (quote) out.put("\"");
        continue;
      }
      char* p = out.reserve(need);
      if (c > 0) *p++ = ',';
      if (t.isEmpty()) {
        *p++ = '"';
        *p++ = '"';
        out.commit(p);
        continue;
      }
      if (quote) *p++ = '"';
      std::memcpy(p, t.data(), static_cast<size_t>(t.size()));
      p += t.size();
      if (quote) *p++ = '"';
      out.commit(p);
    }
    char* p = out.reserve(2);
    *p++ = '\r';
    *p++ = '\n';
    out.commit(p);
  }
  out.flush();
}

QByteArray FormatTableBytes(const GridData& grid) {
  QByteArray out;
  FormatTableBytes(grid, [&](const char* d, qsizetype n) { out.append(d, n); });
  return out;
}

void LoadTableFile(StringGrid& grid, const QString& nativePath) {
  LoadTableFrom(grid, [&](QByteArray& bytes) { ReadFileInto(nativePath, bytes); });
}

void LoadTableFrom(StringGrid& grid, const std::function<void(QByteArray& bytes)>& read) {
  QByteArray bytes;
  std::optional<FileError> failure;
  try {
    read(bytes);
  } catch (const FileError& e) {
    // A Ctrl-Z already read ends the file before the failure; otherwise the
    // line the failure cut short is not a row read.
    if (!bytes.contains('\x1a')) {
      failure = e;
      bytes.truncate(bytes.lastIndexOf('\r') + 1);
    }
  }
  grid.beginBulkChange();
  ParseTableBytes(grid.data(), std::move(bytes));
  grid.data().setModified(false);
  grid.endBulkChange();
  if (failure) throw *failure;
}

void SaveTableFile(const GridData& grid, const QString& nativePath) {
  AtomicFileWriter out(nativePath);
  FormatTableBytes(grid, [&](const char* d, qsizetype n) { out.write(d, n); });
  out.commit();
}

}  // namespace rix
