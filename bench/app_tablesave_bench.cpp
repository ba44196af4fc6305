// Saving a 1,000,000-row game list as the user does, 存檔 in the window, beside
// two measures it must keep to: the time per row of a 50,000-row save in the
// same run (the save is to be linear), and a plain buffered write of the same
// bytes. The memory the save adds is set against the list's own memory.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
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

constexpr int kSmall = 50000;
constexpr int kLarge = 1000000;

void Select(TMainForm& form, int row) {
  form.EmuGrid->setRow(row);
  form.EmuGridClickCell(form.EmuGrid, row, 0);
  form.ActiveGrid = form.RomGrid;
}

// Seconds of each save of the selected list through the window.
std::vector<double> Saves(TMainForm& form, int runs) {
  std::vector<double> out;
  for (int i = 0; i < runs; ++i) {
    form.RomGrid->data().setModified(true);
    const double t0 = NowSeconds();
    form.Save1Click();
    // What the save sets off in the window is part of it.
    QCoreApplication::processEvents();
    out.push_back(NowSeconds() - t0);
  }
  return out;
}

double PlainWrite(const QString& path, const QByteArray& bytes) {
  const double t0 = NowSeconds();
  std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
  std::fclose(f);
  return NowSeconds() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  const QString appDir = tmp.path() + "/";
  QList<rixbench::FixtureEmulator> emus;
  emus.append({QStringLiteral("lists\\small.lst"), QStringLiteral("games\\")});
  emus.append({QStringLiteral("lists\\large.lst"), QStringLiteral("games\\")});
  const QByteArray small = rixbench::MakeGameList(kSmall, "GameA");
  const QByteArray large = rixbench::MakeGameList(kLarge, "GameB");
  if (!tmp.isValid() ||
      !rixbench::WriteBytes(appDir + "RixFront.ini", rixbench::MakeCatalogue(emus)) ||
      !rixbench::WriteBytes(appDir + "EmuTree.ini", rixbench::MakeTree(2)) ||
      !rixbench::WriteBytes(appDir + "lists/small.lst", small) ||
      !rixbench::WriteBytes(appDir + "lists/large.lst", large)) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(tmp.path()));
    return 1;
  }
  std::printf("# lists of %d rows (%lld bytes) and %d rows (%lld bytes), 6 columns\n", kSmall,
              static_cast<long long>(small.size()), kLarge, static_cast<long long>(large.size()));

  rix::ScriptedDialogs dialogs;
  auto form = rixbench::ShownForm(appDir, &dialogs);

  Select(*form, 1);
  if (form->RomGrid->rowCount() != kSmall + 1)
    std::printf("# warning: the small list did not load\n");
  Saves(*form, 3);  // warm
  const double smallSave = rixbench::Median(Saves(*form, 21));

  Select(*form, 2);
  if (form->RomGrid->rowCount() != kLarge + 1)
    std::printf("# warning: the large list did not load\n");
  const rix::GridData& g = form->RomGrid->data();
  // What the list holds: its bytes, its cell slots and its rows.
  const double listBytes =
      static_cast<double>(g.arenaBytes()) + static_cast<double>(g.indexBytes());
  std::vector<double> ours, floor, grown;
  const QString plain = appDir + "lists/plain.lst";
  for (int i = 0; i < 7; ++i) {
    floor.push_back(PlainWrite(plain, large));
    rixbench::ResetPeak();
    const double before = static_cast<double>(rixbench::PeakBytes());
    ours.push_back(Saves(*form, 1).front());
    grown.push_back(static_cast<double>(rixbench::PeakBytes()) - before);
  }
  if (rix::ReadFileBytes(appDir + "lists/large.lst") != large)
    std::printf("# warning: the saved list differs from the one loaded\n");

  const double perRowLarge = rixbench::Median(ours) / kLarge;
  const double perRowSmall = smallSave / kSmall;
  std::printf("table_save_1m per_row_ns=%.2f per_row_50k_ns=%.2f ratio=%.3f\n", perRowLarge * 1e9,
              perRowSmall * 1e9, perRowLarge / perRowSmall);
  rixbench::ReportMedians("table_save_1m_write", ours, floor, "ours_ms", "plain_write_ms");
  const double grew = rixbench::Median(grown);
  std::printf("table_save_1m_memory added_mb=%.1f list_mb=%.1f ratio=%.3f\n", grew / 1048576.0,
              listBytes / 1048576.0, grew / listBytes);
  return 0;
}
