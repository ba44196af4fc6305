// Automatic list building over a game directory of 100,000 archives, from
// the confirmed mask to the count message, beside the floor of one listing
// of the directory and sorting its names.
#include <dirent.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchForm.h"
#include "BenchSupport.h"
#include "app/TMainForm.h"
#include "platform/Big5.h"
#include "widgets/ScriptedDialogs.h"

namespace {

constexpr int kFiles = 100000;

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool MakeFixture(const QString& appDir) {
  const QByteArray table = rix::Big5Encode(
      QStringLiteral("頁,鍵,說明,模擬器,列表,遊戲,圖片,前,後,9,10,11,網\r\n"
                     "Common,1,\"\",emu,a.lst,games\\,\"\",\"\",\"\",No,No,No,\"\"\r\n"));
  if (!WriteBytes(appDir + "RixFront.ini", table) ||
      !WriteBytes(appDir + "EmuTree.ini", "Games,1\r\n") ||
      !WriteBytes(appDir + "a.lst", "\"\",name,\"\",file,pic\r\n\"\",\"\",\"\",\"\",\"\"\r\n") ||
      !QDir().mkpath(appDir + "games"))
    return false;
  const QByteArray dir = QFile::encodeName(appDir + "games/");
  for (int i = 0; i < kFiles; ++i) {
    // Names in no particular order, as a collection grows.
    const QByteArray name = "game" + QByteArray::number((i * 7919) % kFiles) + ".zip";
    std::FILE* f = std::fopen((dir + name).constData(), "wb");
    if (!f) return false;
    std::fclose(f);
  }
  return true;
}

size_t ListAndSort(const QByteArray& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.constData())) {
    while (const dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  const QString appDir = tmp.path() + "/";
  if (!tmp.isValid() || !MakeFixture(appDir)) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(appDir));
    return 1;
  }
  std::printf("# game directory of %d files\n", kFiles);

  rix::ScriptedDialogs dialogs;
  const auto form = rixbench::ShownForm(appDir, &dialogs);

  const QByteArray gameDir = QFile::encodeName(appDir + "games/");
  size_t sink = 0;
  double floor = 1e300, ours = 1e300;
  for (int i = 0; i < 7; ++i) {
    floor = std::min(floor, rixbench::BestSeconds(1, [&] { sink += ListAndSort(gameDir); }));
    form->RomGrid->clearCells();
    form->RomGrid->setRowCount(2);
    form->RomGrid->setRow(1);
    QCoreApplication::processEvents();
    dialogs.answerText(QStringLiteral("*.zip"));
    dialogs.answerButton(rix::Dialogs::Ok);
    ours = std::min(ours, rixbench::BestSeconds(1, [&] { form->AutoGridMakeSBClick(); }));
    QCoreApplication::processEvents();
  }
  if (form->RomGrid->rowCount() != kFiles + 1 ||
      dialogs.shown().last().text != QStringLiteral("供加入 %1 個檔案！").arg(kFiles))
    std::printf("# warning: %d rows after the run\n", form->RomGrid->rowCount());
  rixbench::Report("listbuild_100k", ours, floor, "ours_ms", "list_and_sort_ms");
  return sink == 0;
}
