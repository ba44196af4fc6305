// Game lists of extreme shape, loaded as a selection loads them (cleared grid,
// two rows, LoadTableFile, columns fitted) and painted once: a 2 MB list of
// 1,000,000 columns, and one line of 200 MB. Each beside its floor, reading
// the file's bytes and finding its separators with memchr, and with the peak
// memory it costs against the file's size.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "BenchSupport.h"
#include "catalogue/TableFile.h"
#include "platform/FileOps.h"
#include "widgets/StringGrid.h"

namespace {

size_t CountBytes(const QByteArray& bytes, char c) {
  size_t n = 0;
  const char* p = bytes.constData();
  const char* end = p + bytes.size();
  while ((p = static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p))))) {
    ++n;
    ++p;
  }
  return n;
}

void Measure(const char* name, const QString& path, char separator, int reps) {
  size_t sink = 0;
  const double floor =
      rixbench::BestSeconds(reps, [&] { sink += CountBytes(rix::ReadFileBytes(path), separator); });
  long long grew = 0;
  const double ours = rixbench::BestSeconds(reps, [&] {
    rixbench::ResetPeak();
    const long long before = rixbench::PeakBytes();
    {
      rix::StringGrid grid;
      grid.resize(800, 600);
      grid.clearCells();
      grid.setRowCount(2);
      rix::LoadTableFile(grid, path);
      grid.autoSizeColumns();
      grid.grab();
      sink += static_cast<size_t>(grid.colCount());
    }
    grew = rixbench::PeakBytes() - before;
  });
  const double size = static_cast<double>(QFile(path).size());
  std::printf(
      "%s ours_ms=%.1f floor_ms=%.1f peak_mb=%.1f file_mb=%.1f memory_x_file=%.2f "
      "ratio=%.3f\n",
      name, ours * 1e3, floor * 1e3, grew / 1048576.0, size / 1048576.0, grew / size, ours / floor);
  std::fflush(stdout);
  if (sink == 0) std::printf("# nothing read\n");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  {
    QByteArray wide;
    wide.reserve(2000000);
    for (int c = 0; c < 1000000; ++c) {
      if (c) wide += ',';
      wide += static_cast<char>('a' + c % 26);
    }
    QFile f(dir.filePath("wide.lst"));
    if (!f.open(QIODevice::WriteOnly) || f.write(wide + "\r\n") != wide.size() + 2) return 1;
  }
  Measure("fit_1m_columns", dir.filePath("wide.lst"), ',', 5);
  {
    QFile f(dir.filePath("long.lst"));
    const QByteArray piece(1 << 20, 'W');
    if (!f.open(QIODevice::WriteOnly) || f.write("name,") != 5) return 1;
    for (int i = 0; i < 200; ++i) f.write(piece);
    f.write(",end\r\n");
  }
  Measure("load_200mb_line", dir.filePath("long.lst"), '\r', 3);
  return 0;
}
