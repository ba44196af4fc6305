// Loading and saving a 50,000-row game list beside the floor of the same
// work: reading the bytes plus one pass that records where every field
// starts in a preallocated array of 4-byte offsets (the least work that
// yields an index of the cells), and a plain buffered write of the same
// bytes. Reading the bytes and finding every CR with memchr is reported
// beside the load, as the floor it had before.
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "catalogue/TableFile.h"
#include "platform/Big5.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"

namespace {

QByteArray MakeList(int rows) {
  const QByteArray names[] = {rix::Big5Encode(QStringLiteral("星際飛龍")),
                              rix::Big5Encode(QStringLiteral("武士之魂 第二集")),
                              rix::Big5Encode(QStringLiteral("快打小子")), "Space Racer DX"};
  QByteArray out =
      rix::Big5Encode(QStringLiteral("狀態,遊戲名稱,年份,檔案,圖片,備註,製作,版本\r\n"));
  QRandomGenerator rng(7);
  for (int r = 0; r < rows; ++r) {
    out += "\"\",";
    out += names[r % 4] + ' ' + QByteArray::number(r) + ',';
    out += QByteArray::number(1990 + r % 20) + ',';
    out += "game" + QByteArray::number(r) + ".zip;game" + QByteArray::number(r) + ".rom,";
    out += "Game" + QByteArray::number(r) + ".PNG,";
    out += (r % 5 == 0) ? QByteArray("\"note, with comma\",") : QByteArray("plain note,");
    out += rix::Big5Encode(QStringLiteral("示範工作室")) + ',';
    out += "v1." + QByteArray::number(rng.bounded(10)) + "\r\n";
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString path = dir.path() + "/list.lst";
  const QByteArray bytes = MakeList(50000);
  {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
  }
  std::printf("# file %lld bytes, 50000 rows x 8 columns\n", static_cast<long long>(bytes.size()));

  // The measure and its floor run in turns, so both meet the same machine.
  size_t sink = 0;
  std::vector<double> floorScan, floorIndex, load;
  // Room for a field at every byte, so that no input could overflow it.
  const std::unique_ptr<std::uint32_t[]> starts(new std::uint32_t[bytes.size() + 1]);
  for (int i = 0; i < 21; ++i) {
    floorIndex.push_back(rixbench::BestSeconds(1, [&] {
      const QByteArray b = rix::ReadFileBytes(path);
      const char* p = b.constData();
      const std::uint32_t size = static_cast<std::uint32_t>(b.size());
      std::uint32_t n = 0;
      starts[n++] = 0;
      for (std::uint32_t k = 0; k < size; ++k)
        if (p[k] == ',' || p[k] == '\n') starts[n++] = k + 1;
      sink += n + starts[n / 2];
    }));
    floorScan.push_back(rixbench::BestSeconds(1, [&] {
      const QByteArray b = rix::ReadFileBytes(path);
      const char* p = b.constData();
      const char* end = p + b.size();
      while (const char* cr = static_cast<const char*>(std::memchr(p, '\r', end - p))) {
        ++sink;
        p = cr + 1;
      }
    }));
    load.push_back(rixbench::BestSeconds(1, [&] {
      rix::GridData g(8, 2);
      rix::ParseTableBytes(g, rix::ReadFileBytes(path));
      sink += static_cast<size_t>(g.rowCount());
    }));
  }
  std::printf("# table_load against reading and memchr for CR: read_and_scan_ms=%.3f ratio=%.3f\n",
              rixbench::Median(floorScan) * 1e3,
              rixbench::Median(load) / rixbench::Median(floorScan));
  rixbench::ReportMedians("table_load", load, floorIndex, "ours_ms", "read_and_index_ms");

  rix::GridData g(8, 2);
  rix::ParseTableBytes(g, rix::ReadFileBytes(path));
  const QString out = dir.path() + "/out.lst";
  std::vector<double> floorSave, save;
  for (int i = 0; i < 21; ++i) {
    floorSave.push_back(rixbench::BestSeconds(1, [&] {
      std::FILE* f = std::fopen(QFile::encodeName(out).constData(), "wb");
      std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
      std::fclose(f);
    }));
    save.push_back(rixbench::BestSeconds(1, [&] { rix::SaveTableFile(g, out); }));
  }
  rixbench::ReportMedians("table_save", save, floorSave, "ours_ms", "buffered_write_ms");
  if (rix::ReadFileBytes(out) != bytes)
    std::printf("# warning: saved bytes differ from the source\n");
  return sink == 0;
}
