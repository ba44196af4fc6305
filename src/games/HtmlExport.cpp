#include "games/HtmlExport.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <cstdint>
#include <cstring>

#include "platform/ChunkWriter.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"

namespace rix {

namespace {

constexpr qsizetype kLabelMax = 255;

// The text after a mark, at most kLabelMax bytes, never ending in half of a
// double-byte character.
QByteArrayView LinkLabel(QByteArrayView text, qsizetype markEnd) {
  const QByteArrayView rest = text.sliced(markEnd);
  qsizetype end = 0;
  while (end < rest.size()) {
    const auto b = static_cast<unsigned char>(rest[end]);
    const qsizetype step = (b >= 0x81 && b <= 0xFE && end + 1 < rest.size()) ? 2 : 1;
    if (end + step > kLabelMax) break;
    end += step;
  }
  return rest.first(end);
}

QByteArray Link(QByteArrayView text, qsizetype markEnd) {
  QByteArray out = "<A HREF=";
  out += text;
  out += '>';
  out += LinkLabel(text, markEnd);
  out += "</A>";
  return out;
}

// Most cells hold something, no CR and no link: they go out as they are.
inline bool IsPlainCell(QByteArrayView t) {
  if (t.isEmpty()) return false;
  // Eight bytes at a time: a byte equal to CR or ":" becomes zero after the
  // XOR, and the subtraction sets its top bit.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kTops = 0x8080808080808080ull;
  auto hasByte = [](std::uint64_t x, unsigned char b) {
    const std::uint64_t y = x ^ (kOnes * b);
    return ((y - kOnes) & ~y & kTops) != 0;
  };
  const char* d = t.data();
  const qsizetype n = t.size();
  qsizetype i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, d + i, 8);
    if (hasByte(x, '\r') || hasByte(x, ':')) return false;
  }
  for (; i < n; ++i)
    if (d[i] == '\r' || d[i] == ':') return false;
  return true;
}

}  // namespace

QByteArray HtmlCellText(QByteArrayView text) {
  QByteArray t = text.toByteArray();
  t.replace("\r", "<br>");
  if (const qsizetype p = t.indexOf("mailto:"); p >= 0) return Link(t, p + 7);
  if (const qsizetype p = t.indexOf("://"); p >= 0) return Link(t, p + 3);
  if (t.isEmpty()) return "<br>";
  return t;
}

void FormatGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour,
                    const std::function<void(const char*, qsizetype)>& sink) {
  ChunkWriter out(sink);
  auto cell = [&](QByteArrayView t) {
    if (IsPlainCell(t))
      out.put(t);
    else if (t.isEmpty())
      out.put("<br>");
    else
      out.put(HtmlCellText(t));
  };
  const int cols = grid.colCount();
  const int rows = grid.rowCount();
  auto textOf = [](const GridData::RowCells& cells, int c) {
    return c < cells.size() ? cells.text(c) : QByteArrayView();
  };
  out.put("<table border=1>\r\n");
  int first = 0;
  if (headerRow && rows > 0) {
    const QByteArray open = "<td nowrap BGCOLOR=\"#" + colour.toByteArray() + "\"><B>";
    const GridData::RowCells cells = grid.rowCells(0);
    out.put("<tr>\r\n");
    for (int c = 0; c < cols; ++c) {
      out.put(open);
      cell(textOf(cells, c));
      out.put("</B></td>\r\n");
    }
    out.put("</tr>\r\n");
    first = 1;
  }
  // Data rows: the tags between two cells go out as one piece, and a cell
  // that needs no rule is copied without a call.
  static constexpr char kOpen[] = "<tr>\r\n<td nowrap>";
  static constexpr char kBetween[] = "</td>\r\n<td nowrap>";
  for (int r = first; r < rows && cols > 0; ++r) {
    const GridData::RowCells cells = grid.rowCells(r);
    for (int c = 0; c < cols; ++c) {
      const QByteArrayView t = textOf(cells, c);
      if (!IsPlainCell(t) || t.size() > ChunkWriter::kSize / 2) {
        out.put(c == 0 ? QByteArrayView(kOpen) : QByteArrayView(kBetween));
        cell(t);
        continue;
      }
      char* p = out.reserve(t.size() + 64);
      // Constant-size copies of the tags, so that they need no call.
      if (c == 0) {
        std::memcpy(p, kOpen, sizeof kOpen - 1);
        p += sizeof kOpen - 1;
      } else {
        std::memcpy(p, kBetween, sizeof kBetween - 1);
        p += sizeof kBetween - 1;
      }
      std::memcpy(p, t.data(), static_cast<size_t>(t.size()));
      out.commit(p + t.size());
    }
    out.put("</td>\r\n</tr>\r\n");
  }
  if (cols == 0)
    for (int r = first; r < rows; ++r) out.put("<tr>\r\n</tr>\r\n");
  out.put("</table><p>\r\n");
  out.flush();
}

QByteArray FormatGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour) {
  QByteArray out;
  FormatGridHtml(grid, headerRow, colour, [&](const char* d, qsizetype n) { out.append(d, n); });
  return out;
}

void SaveGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour,
                  const QString& nativePath) {
  AtomicFileWriter out(nativePath);
  FormatGridHtml(grid, headerRow, colour, [&](const char* d, qsizetype n) { out.write(d, n); });
  out.commit();
}

QByteArray ActiveBorderColour() {
  const QColor c = QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
  return c.name(QColor::HexRgb).mid(1).toUpper().toLatin1();
}

}  // namespace rix
