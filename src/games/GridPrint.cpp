#include "games/GridPrint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "platform/Big5.h"
#include "platform/FileError.h"
#include "widgets/ColumnTextWidths.h"
#include "widgets/GridData.h"

namespace rix {

namespace {

constexpr int kColumnGap = 20;  // 2 mm
constexpr double kUnitsPerInch = 254.0;

int UnitsOf(double pixels, double dpi) {
  return static_cast<int>(std::ceil(pixels * kUnitsPerInch / dpi));
}

}  // namespace

GridPrintLayout LayOutGridPrint(const std::vector<int>& textWidths, int rows, int pageWidth,
                                int pageHeight, int lineHeight) {
  GridPrintLayout l;
  l.colWidths.reserve(textWidths.size());
  for (int w : textWidths) l.colWidths.push_back(w + kColumnGap);
  const int cols = static_cast<int>(l.colWidths.size());
  for (int c = 0; c < cols;) {
    GridPrintLayout::Block b;
    b.first = c;
    int across = l.colWidths[static_cast<size_t>(c++)];
    while (c < cols && across + l.colWidths[static_cast<size_t>(c)] <= pageWidth)
      across += l.colWidths[static_cast<size_t>(c++)];
    b.end = c;
    l.blocks.push_back(b);
  }
  l.lineHeight = std::max(lineHeight, 1);
  l.rowPitch = l.lineHeight + l.lineHeight / 4;
  l.rowsPerPage = std::max(1, pageHeight / l.rowPitch);
  l.pagesPerBlock = std::max(1, (rows + l.rowsPerPage - 1) / l.rowsPerPage);
  return l;
}

GridPrintLayout MeasureGridPrint(const GridData& grid, const QFont& font,
                                 const QPaintDevice& device, int pageWidth, int pageHeight) {
  const double dpi = device.logicalDpiX();
  std::vector<int> widths = WidestColumnTexts(grid, font, &device);
  for (int& w : widths) w = UnitsOf(w, dpi);
  const int line = UnitsOf(QFontMetricsF(font, &device).height(), device.logicalDpiY());
  return LayOutGridPrint(widths, grid.rowCount(), pageWidth, pageHeight, line);
}

QFont GridPrintFont() {
  QFont f(QStringLiteral("Times New Roman"));
  f.setPointSize(9);
  f.setKerning(false);
  return f;
}

void PrintGrid(const GridData& grid, QPrinter& printer) {
  if (grid.colCount() <= 0 || grid.rowCount() <= 0) return;
  const double dpiX = printer.logicalDpiX();
  const double dpiY = printer.logicalDpiY();
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  const QFont font = GridPrintFont();
  const GridPrintLayout l =
      MeasureGridPrint(grid, font, printer, static_cast<int>(area.width() * 10),
                       static_cast<int>(area.height() * 10));
  QPainter p;
  errno = 0;
  if (!p.begin(&printer)) {
    // A print to a file reports what opening the file met.
    const int err = errno ? errno : EIO;
    if (printer.outputFileName().isEmpty())
      throw FileError(QStringLiteral("輸出入錯誤 %1").arg(err), err);
    throw FileError::FromErrno(err, printer.outputFileName());
  }
  p.setFont(font);
  const double ascent = QFontMetricsF(font, &printer).ascent();
  auto px = [](int units, double dpi) { return units * dpi / kUnitsPerInch; };
  bool first = true;
  for (const GridPrintLayout::Block& b : l.blocks) {
    for (int page = 0; page < l.pagesPerBlock; ++page) {
      if (!first) printer.newPage();
      first = false;
      const int top = page * l.rowsPerPage;
      const int bottom = std::min(grid.rowCount(), top + l.rowsPerPage);
      for (int r = top; r < bottom; ++r) {
        const double y = px((r - top) * l.rowPitch, dpiY) + ascent;
        int x = 0;
        for (int c = b.first; c < b.end; ++c) {
          const QByteArrayView t = grid.cell(c, r);
          if (!t.isEmpty()) p.drawText(QPointF(px(x, dpiX), y), Big5Decode(t));
          x += l.colWidths[static_cast<size_t>(c)];
        }
      }
    }
  }
  p.end();
}

}  // namespace rix
