#pragma once

#include <QString>
#include <QStringList>

namespace rix {

// Where the catalogue lives. The one optional program argument names it;
// otherwise the executable's directory when it holds RixFront.ini (a portable
// installation); otherwise the per-user data directory, which gets a new
// RixFront.ini (the given header line) and an empty EmuTree.ini on first
// start. Always ends with "/".
struct AppDirectoryChoice {
  QString dir;
  bool createdFirstStartFiles = false;
};

AppDirectoryChoice ChooseAppDirectory(const QStringList& arguments, const QString& executableDir,
                                      const QString& userDataDir,
                                      const QByteArray& newCatalogueHeader);

}  // namespace rix
