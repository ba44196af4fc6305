// Selecting an emulator, as the user switches between two emulators with long
// game lists (different files, game directories of as many files with names
// in another case): the list is loaded into the game grid, its columns
// fitted, every game's marker set from one listing of its directory, the
// first picture shown and the visible rows painted. The floor is what no
// selection can do without: reading the list file and listing the game
// directory once. Both at 50,000 and at 200,000 rows, since the cost must
// stay linear. A last measure runs in a fresh process: the memory a
// 100,000-row list costs once selected, and at its peak, against its file.
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchForm.h"
#include "BenchSupport.h"
#include "GameListFixture.h"
#include "app/TMainForm.h"
#include "catalogue/TableFile.h"
#include "platform/DirectoryIndex.h"
#include "platform/FileOps.h"
#include "widgets/GridData.h"
#include "widgets/ScriptedDialogs.h"

namespace {

using rixbench::NowSeconds;

constexpr int kMemoryRows = 100000;
// Emulator table rows: 1 a tiny list (selected at start), 2 and 3 the two
// 50,000-row lists, 4 and 5 the two 200,000-row lists, 6 the 100,000-row list.
constexpr int kHugeEmu = 6;

struct Pair {
  const char* name;
  int rows;
  int emu[2];
  QString list[2], gameDir[2];
};

bool MakeFixture(const QString& appDir, bool with200k, std::vector<Pair>* pairs) {
  using rixbench::FixtureEmulator;
  const QList<FixtureEmulator> emus = {
      {"lists\\small.lst", "games\\a50\\"}, {"lists\\a50.lst", "games\\a50\\"},
      {"lists\\b50.lst", "games\\b50\\"},   {"lists\\a200.lst", "games\\a200\\"},
      {"lists\\b200.lst", "games\\b200\\"}, {"lists\\huge.lst", "games\\a50\\"}};
  bool ok = rixbench::WriteBytes(appDir + "RixFront.ini", rixbench::MakeCatalogue(emus)) &&
            rixbench::WriteBytes(appDir + "EmuTree.ini", rixbench::MakeTree(6)) &&
            rixbench::WriteBytes(appDir + "lists/small.lst", rixbench::MakeGameList(3, "Tiny")) &&
            rixbench::WriteBytes(appDir + "lists/huge.lst",
                                 rixbench::MakeGameList(kMemoryRows, "GameA")) &&
            rixbench::MakePicture(appDir + "pics/tiny000000.png", qRgb(0, 0, 200));
  struct Spec {
    const char* name;
    int rows;
    int emu[2];
    const char* stem[2];
  };
  const Spec specs[] = {{"select_50k", 50000, {2, 3}, {"a50", "b50"}},
                        {"select_200k", 200000, {4, 5}, {"a200", "b200"}}};
  for (const Spec& s : specs) {
    if (!with200k && s.rows > 50000) continue;
    Pair p{s.name, s.rows, {s.emu[0], s.emu[1]}, {}, {}};
    for (int i = 0; ok && i < 2; ++i) {
      const QByteArray prefix = "Game" + QByteArray(s.stem[i]).toUpper();
      p.list[i] = appDir + "lists/" + s.stem[i] + ".lst";
      p.gameDir[i] = appDir + "games/" + s.stem[i] + "/";
      ok = rixbench::WriteBytes(p.list[i], rixbench::MakeGameList(s.rows, prefix)) &&
           rixbench::MakeGameDir(p.gameDir[i], s.rows, prefix) &&
           rixbench::MakePicture(
               appDir + "pics/" + QString::fromLatin1(prefix.toLower()) + "000000.png",
               qRgb(200, 0, 0));
    }
    pairs->push_back(p);
  }
  return ok;
}

void Select(TMainForm& form, int row) {
  form.EmuGrid->setRow(row);
  form.EmuGridClickCell(form.EmuGrid, row, 0);
}

int CountMarkers(const rix::StringGrid& g) {
  int n = 0;
  for (int r = 1; r < g.rowCount(); ++r) n += g.cellImage(0, r) == 1;
  return n;
}

// ---------------------------------------------------------------- floor

// The least any selection must do: the list's bytes into memory and one
// listing of the game directory.
size_t Floor(const QString& list, const QString& gameDir) {
  size_t sink = 0;
  const int fd = ::open(QFile::encodeName(list).constData(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd >= 0 && ::fstat(fd, &st) == 0) {
    std::unique_ptr<char[]> buf(new char[static_cast<size_t>(st.st_size) + 1]);
    size_t got = 0;
    while (got < static_cast<size_t>(st.st_size)) {
      const ssize_t n = ::read(fd, buf.get() + got, static_cast<size_t>(st.st_size) - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    sink += got + static_cast<unsigned char>(buf[got / 2]);
  }
  if (fd >= 0) ::close(fd);
  if (DIR* d = ::opendir(QFile::encodeName(gameDir).constData())) {
    while (const dirent* e = ::readdir(d)) sink += static_cast<unsigned char>(e->d_name[0]);
    ::closedir(d);
  }
  return sink;
}

// ---------------------------------------------------------------- memory

long long ResidentBytes() {
  long long size = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%lld %lld", &size, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

long long PeakResidentBytes() {
  long long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmHWM: %lld kB", &kb) == 1) break;
    std::fclose(f);
  }
  return kb * 1024;
}

void ResetPeak() {
  // Writing 5 to clear_refs resets the peak resident size to the current one.
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// Runs in a process of its own (see main): nothing freed by other measures
// can be reused unseen. The window is built and shown with the tiny list
// selected, so fonts, codecs and the view are warm; the heap's free pages are
// handed back before the baseline, so the growth counts every page the large
// list keeps.
int MemoryChild(const QString& appDir) {
  rix::ScriptedDialogs dialogs;
  auto form = rixbench::ShownForm(appDir, &dialogs);
  QCoreApplication::processEvents();
  malloc_trim(0);
  ResetPeak();
  const long long before = ResidentBytes();
  const long long peakBefore = PeakResidentBytes();
  Select(*form, kHugeEmu);
  QCoreApplication::processEvents();
  const long long after = ResidentBytes();
  const long long peak = std::max(PeakResidentBytes(), peakBefore);
  const double fileMb = QFileInfo(appDir + "lists/huge.lst").size() / 1048576.0;
  if (form->RomGrid->rowCount() != kMemoryRows + 1)
    std::printf("# warning: %d rows loaded\n", form->RomGrid->rowCount() - 1);
  std::printf("list_100k_memory rss_growth_mb=%.3f file_mb=%.3f ratio=%.3f\n",
              (after - before) / 1048576.0, fileMb, (after - before) / 1048576.0 / fileMb);
  std::printf("list_100k_memory_peak peak_growth_mb=%.3f file_mb=%.3f ratio=%.3f\n",
              (peak - before) / 1048576.0, fileMb, (peak - before) / 1048576.0 / fileMb);
  std::fflush(stdout);
  return 0;
}

// The selection's parts timed one by one, done as the handler does them, for
// the switch to list `to` of the pair.
void Breakdown(TMainForm& form, const Pair& p, int reps) {
  enum { Clear, Read, Parse, Fit, Picture, Markers, Paint, Listing, Parts };
  const char* names[] = {"clear_old_list", "list_read", "parse_into_grid", "fit_columns",
                         "picture",        "markers",   "paint",           "directory_index"};
  std::vector<double> part[Parts];
  for (int i = 0; i < reps; ++i) {
    const int to = i % 2;
    Select(form, p.emu[1 - to]);
    QCoreApplication::processEvents();
    form.EmuGrid->setRow(p.emu[to]);
    form.RomListFile = p.list[to];
    rix::StringGrid& g = *form.RomGrid;
    double t[Parts + 1];
    t[0] = NowSeconds();
    g.clearCells();
    g.setRowCount(2);
    t[1] = NowSeconds();
    QByteArray bytes = rix::ReadFileBytes(p.list[to]);
    t[2] = NowSeconds();
    g.beginBulkChange();
    rix::ParseTableBytes(g.data(), std::move(bytes));
    g.data().setModified(false);  // as a load leaves it
    g.endBulkChange();
    t[3] = NowSeconds();
    g.autoSizeColumns();
    t[4] = NowSeconds();
    form.RomGridClickCell(&form, 1, 0);
    t[5] = NowSeconds();
    form.MarkGameFiles();
    t[6] = NowSeconds();
    QCoreApplication::processEvents();
    t[7] = NowSeconds();
    {
      rix::DirectoryIndex index(p.gameDir[to]);
      index.hasFile(QStringLiteral("x.zip"));
    }
    t[8] = NowSeconds();
    for (int k = 0; k < Parts; ++k) part[k].push_back(t[k + 1] - t[k]);
  }
  std::printf("# %s parts_ms (medians):", p.name);
  for (int k = 0; k < Parts; ++k)
    std::printf(" %s=%.3f", names[k], rixbench::Median(part[k]) * 1e3);
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
    return MemoryChild(QString::fromLocal8Bit(argv[2]));
  // --quick leaves out the 200,000-row lists (400,000 files to make).
  const bool quick = argc == 2 && std::strcmp(argv[1], "--quick") == 0;

  QTemporaryDir tmp;
  const QString appDir = tmp.path() + "/";
  std::vector<Pair> pairs;
  if (!tmp.isValid() || !MakeFixture(appDir, !quick, &pairs)) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(tmp.path()));
    return 1;
  }
  for (const Pair& p : pairs)
    std::printf(
        "# %s: lists of %lld and %lld bytes, %d rows x 6 columns; directories of %d "
        "files, half of them listed\n",
        p.name, static_cast<long long>(QFileInfo(p.list[0]).size()),
        static_cast<long long>(QFileInfo(p.list[1]).size()), p.rows, p.rows);
  std::fflush(stdout);

  // Memory first, in a fresh process, before this one has loaded and freed
  // anything large.
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), appDir});
  child.waitForFinished(-1);
  const QByteArray memoryLines = child.readAllStandardOutput();

  rix::ScriptedDialogs dialogs;
  auto form = rixbench::ShownForm(appDir, &dialogs);
  size_t sink = 0;
  for (const Pair& p : pairs) {
    // Switches between the two lists, each beside its floor in turns, so
    // both meet the same machine.
    const int reps = p.rows > 50000 ? 6 : 10;
    Select(*form, p.emu[0]);
    QCoreApplication::processEvents();
    std::vector<double> ours, floor;
    for (int i = 0; i < reps + 1; ++i) {
      const int to = (i + 1) % 2;
      const double f0 = NowSeconds();
      sink += Floor(p.list[to], p.gameDir[to]);
      const double f1 = NowSeconds();
      form->EmuGrid->setRow(p.emu[to]);
      const double t0 = NowSeconds();
      form->EmuGridClickCell(form->EmuGrid, p.emu[to], 0);
      QCoreApplication::processEvents();
      const double t1 = NowSeconds();
      if (i == 0) continue;  // the first switch meets caches the others find warm
      floor.push_back(f1 - f0);
      ours.push_back(t1 - t0);
    }
    if (form->RomGrid->rowCount() != p.rows + 1 || CountMarkers(*form->RomGrid) != p.rows / 2)
      std::printf("# warning: %d rows, %d markers\n", form->RomGrid->rowCount() - 1,
                  CountMarkers(*form->RomGrid));
    rixbench::ReportMedians(p.name, ours, floor, "ours_ms", "read_and_listing_ms");
    Breakdown(*form, p, 5);
  }

  std::fwrite(memoryLines.constData(), 1, static_cast<size_t>(memoryLines.size()), stdout);
  if (child.exitCode() != 0 || memoryLines.isEmpty())
    std::printf("# warning: the memory measure failed (exit %d)\n", child.exitCode());
  if (!dialogs.shown().isEmpty())
    std::printf("# warning: %d boxes shown, first: %s\n", static_cast<int>(dialogs.shown().size()),
                qPrintable(dialogs.shown().first().text));
  return sink == 0;
}
