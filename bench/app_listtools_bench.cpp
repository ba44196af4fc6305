// The list tools on a 50,000-row game list, as the user meets them in the
// window: a release on a header cell sorts the rows by that column (the
// columns in turn, one of them twice, so that it flips to descending), and
// find looks for a text that no cell holds. The floors are the least either
// could do: std::stable_sort of the sorted column's byte views, and memmem
// over the list file's bytes.
#include <string.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "BenchForm.h"
#include "BenchSupport.h"
#include "GameListFixture.h"
#include "app/TMainForm.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"
#include "widgets/ScriptedDialogs.h"

namespace {

using rixbench::NowSeconds;

constexpr int kRows = 50000;

// The floor of one header sort: the column's cells as views, in the rows'
// present order, stable-sorted as bytes.
size_t SortFloor(const rix::GridData& g, int col, bool ascending) {
  std::vector<std::string_view> keys;
  keys.reserve(static_cast<size_t>(g.rowCount()));
  for (int r = 1; r < g.rowCount(); ++r) {
    const QByteArrayView v = g.cell(col, r);
    keys.emplace_back(v.data(), static_cast<size_t>(v.size()));
  }
  if (ascending)
    std::stable_sort(keys.begin(), keys.end());
  else
    std::stable_sort(keys.begin(), keys.end(), std::greater<>());
  return keys.front().size() + keys.back().size() + 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  const QString appDir = tmp.path() + "/";
  const QByteArray list = rixbench::MakeGameList(kRows, "GameA");
  if (!tmp.isValid() ||
      !rixbench::WriteBytes(appDir + "RixFront.ini",
                            rixbench::MakeCatalogue(rixbench::OneEmulator())) ||
      !rixbench::WriteBytes(appDir + "EmuTree.ini", rixbench::MakeTree(1)) ||
      !rixbench::WriteBytes(appDir + "lists/a.lst", list)) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(tmp.path()));
    return 1;
  }
  std::printf("# list %lld bytes, %d rows x 6 columns\n", static_cast<long long>(list.size()),
              kRows);

  rix::ScriptedDialogs dialogs;
  auto form = rixbench::ShownForm(appDir, &dialogs);
  rix::StringGrid& grid = *form->RomGrid;
  form->ActiveGrid = &grid;
  size_t sink = 0;

  // ---- sort: a round of header releases, each beside its floor.
  const int clicks[] = {1, 2, 2, 3, 4, 5};
  std::vector<double> ours, floor, painted;
  std::vector<double> perColumn[6], perColumnFloor[6];
  for (int round = 0; round < 6; ++round) {
    double o = 0, f = 0, p = 0;
    for (size_t k = 0; k < std::size(clicks); ++k) {
      const int col = clicks[k];
      const bool ascending = !(col == grid.sortColumn() && grid.sortAscending());
      const double f0 = NowSeconds();
      sink += SortFloor(grid.data(), col, ascending);
      const double f1 = NowSeconds();
      grid.headerReleased(col);
      const double t1 = NowSeconds();
      QCoreApplication::processEvents();
      const double t2 = NowSeconds();
      if (round == 0) continue;  // the first round meets cold caches
      o += t1 - f1;
      f += f1 - f0;
      p += t2 - f1;
      perColumn[k].push_back(t1 - f1);
      perColumnFloor[k].push_back(f1 - f0);
    }
    if (round == 0) continue;
    ours.push_back(o);
    floor.push_back(f);
    painted.push_back(p);
  }
  rixbench::ReportMedians("sort_50k", ours, floor, "ours_ms", "stable_sort_of_views_ms");
  std::printf("# sort_50k per release (medians, ours/floor ms):");
  for (size_t k = 0; k < std::size(clicks); ++k)
    std::printf(" col%d=%.2f/%.2f", clicks[k], rixbench::Median(perColumn[k]) * 1e3,
                rixbench::Median(perColumnFloor[k]) * 1e3);
  std::printf("\n# sort_50k with the repaint that follows ours_ms=%.3f\n",
              rixbench::Median(painted) * 1e3);

  // ---- find: a text no cell holds, from the find prompt to the silent miss.
  const QString missing = QStringLiteral("沒有這個遊戲");
  const QByteArray needle = rix::Big5Encode(missing);
  const QByteArray fileBytes = rix::ReadFileBytes(appDir + "lists/a.lst");
  std::vector<double> findOurs, findFloor;
  const int cursorRow = grid.row(), cursorCol = grid.col();
  for (int i = 0; i < 21; ++i) {
    const double f0 = NowSeconds();
    sink += memmem(fileBytes.constData(), static_cast<size_t>(fileBytes.size()), needle.constData(),
                   static_cast<size_t>(needle.size())) == nullptr;
    const double f1 = NowSeconds();
    dialogs.answerText(missing);
    form->FindFirst1Click();
    const double t1 = NowSeconds();
    findFloor.push_back(f1 - f0);
    findOurs.push_back(t1 - f1);
  }
  rixbench::ReportMedians("find_50k", findOurs, findFloor, "ours_ms", "memmem_ms");
  if (grid.row() != cursorRow || grid.col() != cursorCol)
    std::printf("# warning: find moved the cursor\n");
  return sink == 0;
}
