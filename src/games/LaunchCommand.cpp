#include "games/LaunchCommand.h"

#include "platform/AppPaths.h"

namespace rix {

QString BuildLaunchCommand(const QString& exe, const QString& before, const QString& romDir,
                           const QString& romFile, const QString& after, bool inGameDir) {
  if (inGameDir) return exe + u' ' + before + u' ' + romFile + u' ' + after;
  return exe + u' ' + before + u' ' + romDir + romFile + u' ' + after;
}

bool IsZipGame(const QString& romFile) {
  const qsizetype dot = romFile.lastIndexOf(u'.');
  return dot >= 0 && EqualsIgnoringAsciiCase(romFile.mid(dot), QStringLiteral(".zip"));
}

QString TrimCommand(const QString& command) {
  qsizetype b = 0, e = command.size();
  while (b < e && command[b].unicode() < 33) ++b;
  while (e > b && command[e - 1].unicode() < 33) --e;
  return command.mid(b, e - b);
}

}  // namespace rix
