#include "platform/AppDirectory.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Big5.h"
#include "platform/FileOps.h"

namespace rix {

namespace {

QString WithSlash(QString dir) {
  dir = QDir::cleanPath(QDir(dir).absolutePath());
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

}  // namespace

QByteArray NewCatalogueHeader() {
  static const char* const kCaptions[] = {
      "選項頁",         "階層代碼", "說明檔",     "模擬器",     "遊戲列表",
      "遊戲目錄",       "圖片目錄", "ROM 前參數", "ROM 後參數", "在模擬器目錄執行",
      "在遊戲目錄執行", "目錄模式", "網址"};
  QByteArray line;
  for (const char* c : kCaptions) {
    if (!line.isEmpty()) line += ',';
    line += Big5Encode(QString::fromUtf8(c));
  }
  return line + "\r\n";
}

AppDirectoryChoice ChooseAppDirectory(const QStringList& arguments, const QString& executableDir,
                                      const QString& userDataDir) {
  AppDirectoryChoice choice;
  if (!arguments.isEmpty() && !arguments.first().isEmpty()) {
    choice.dir = WithSlash(arguments.first());
    return choice;
  }
  const QString exeDir = WithSlash(executableDir);
  if (FileExists(exeDir + QStringLiteral("RixFront.ini"))) {
    choice.dir = exeDir;
    return choice;
  }
  choice.dir = WithSlash(userDataDir);
  ForceDirectories(choice.dir);
  const QString ini = choice.dir + QStringLiteral("RixFront.ini");
  if (!FileExists(ini)) {
    try {
      WriteFileAtomic(ini, NewCatalogueHeader());
      const QString tree = choice.dir + QStringLiteral("EmuTree.ini");
      if (!FileExists(tree)) WriteFileAtomic(tree, QByteArray());
      choice.createdFirstStartFiles = true;
    } catch (...) {
      // The catalogue load reports the missing file in the error box.
    }
  }
  return choice;
}

}  // namespace rix
