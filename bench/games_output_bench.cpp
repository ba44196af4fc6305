// The two outputs of a 50,000-row x 8-column Big5 table: the HTML file,
// beside a plain buffered write of as many bytes, and the print layout (no
// printer), beside measuring every cell's text once in the print font.
#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchSupport.h"
#include "games/GridPrint.h"
#include "games/HtmlExport.h"
#include "platform/Big5.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"

namespace {

constexpr int kRows = 50000;
constexpr int kCols = 8;

void Fill(rix::GridData& g) {
  const QByteArray names[] = {rix::Big5Encode(QStringLiteral("星際飛龍")),
                              rix::Big5Encode(QStringLiteral("三國志 英傑傳")),
                              rix::Big5Encode(QStringLiteral("合金彈頭")), "Space Racer DX"};
  const QByteArray maker = rix::Big5Encode(QStringLiteral("示範工作室"));
  g.setColCount(kCols);
  g.setRowCount(kRows + 1);
  for (int c = 0; c < kCols; ++c)
    g.setCell(c, 0, rix::Big5Encode(QStringLiteral("欄位 ") + QString::number(c)));
  for (int r = 1; r <= kRows; ++r) {
    const QByteArray n = QByteArray::number(r);
    g.setCell(1, r, names[r % 4] + ' ' + n);
    g.setCell(2, r, QByteArray::number(1985 + r % 20));
    g.setCell(3, r, "game" + n + ".zip");
    g.setCell(4, r, "pic" + n + ".png");
    g.setCell(5, r, maker);
    g.setCell(6, r, r % 50 == 0 ? QByteArray("http://rix.example/") + n : QByteArray("note"));
    g.setCell(7, r, "v1." + QByteArray::number(r % 10));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  rix::GridData g;
  Fill(g);
  const QByteArray colour = rix::ActiveBorderColour();
  const QByteArray html = rix::FormatGridHtml(g, true, colour);
  std::printf("# table %d rows x %d columns; HTML %lld bytes\n", kRows, kCols,
              static_cast<long long>(html.size()));

  size_t sink = 0;
  const QString out = dir.path() + "/t.htm";
  const QByteArray outName = QFile::encodeName(dir.path() + "/plain.htm");
  double floorWrite = 1e300, save = 1e300, format = 1e300;
  for (int i = 0; i < 15; ++i) {
    format =
        std::min(format, rixbench::BestSeconds(1, [&] {
                   qsizetype n = 0;
                   rix::FormatGridHtml(g, true, colour, [&](const char*, qsizetype k) { n += k; });
                   sink += static_cast<size_t>(n);
                 }));
    floorWrite = std::min(floorWrite, rixbench::BestSeconds(1, [&] {
                            std::FILE* f = std::fopen(outName.constData(), "wb");
                            std::fwrite(html.constData(), 1, static_cast<size_t>(html.size()), f);
                            std::fclose(f);
                          }));
    save =
        std::min(save, rixbench::BestSeconds(1, [&] { rix::SaveGridHtml(g, true, colour, out); }));
  }
  rixbench::Report("html_50k", save, floorWrite, "ours_ms", "buffered_write_ms");
  std::printf("# html_50k parts_ms: format_without_writing=%.3f\n", format * 1e3);
  if (rix::ReadFileBytes(out) != html) std::printf("# warning: the file differs from the format\n");

  // A device of a printer's resolution, without a printer.
  QImage device(1, 1, QImage::Format_RGB32);
  device.setDotsPerMeterX(47244);  // 1200 dpi
  device.setDotsPerMeterY(47244);
  const QFont font = rix::GridPrintFont();
  double floorMeasure = 1e300, layout = 1e300;
  for (int i = 0; i < 7; ++i) {
    floorMeasure = std::min(
        floorMeasure, rixbench::BestSeconds(1, [&] {
          const QFontMetrics fm(font, &device);
          for (int r = 0; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
              sink += static_cast<size_t>(fm.horizontalAdvance(rix::Big5Decode(g.cell(c, r))));
        }));
    layout = std::min(layout, rixbench::BestSeconds(1, [&] {
                        const rix::GridPrintLayout l =
                            rix::MeasureGridPrint(g, font, device, 1900, 2770);
                        sink += static_cast<size_t>(l.pageCount());
                      }));
  }
  rixbench::Report("print_layout_50k", layout, floorMeasure, "ours_ms", "measure_each_cell_ms");
  return sink == 0;
}
