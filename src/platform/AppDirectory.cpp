#include "platform/AppDirectory.h"

#include <QDir>
#include <QFileInfo>

#include "platform/FileOps.h"

namespace rix {

namespace {

QString WithSlash(QString dir) {
  dir = QDir::cleanPath(QDir(dir).absolutePath());
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

}  // namespace

AppDirectoryChoice ChooseAppDirectory(const QStringList& arguments, const QString& executableDir,
                                      const QString& userDataDir,
                                      const QByteArray& newCatalogueHeader) {
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
      WriteFileAtomic(ini, newCatalogueHeader);
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
