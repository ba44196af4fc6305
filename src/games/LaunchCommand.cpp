#include "games/LaunchCommand.h"

namespace rix {

QString BuildLaunchCommand(const QString& exe, const QString& before, const QString& romDir,
                           const QString& romFile, const QString& after, bool inGameDir) {
  if (inGameDir) return exe + u' ' + before + u' ' + romFile + u' ' + after;
  return exe + u' ' + before + u' ' + romDir + romFile + u' ' + after;
}

bool IsZipGame(const QString& romFile) {
  const qsizetype dot = romFile.lastIndexOf(u'.');
  if (dot < 0) return false;
  QString ext = romFile.mid(dot);
  for (QChar& c : ext)
    if (c.unicode() >= 'A' && c.unicode() <= 'Z') c = QChar(c.unicode() + 32);
  return ext == QLatin1String(".zip");
}

QString TrimCommand(const QString& command) {
  qsizetype b = 0, e = command.size();
  while (b < e && command[b].unicode() < 33) ++b;
  while (e > b && command[e - 1].unicode() < 33) --e;
  return command.mid(b, e - b);
}

}  // namespace rix
