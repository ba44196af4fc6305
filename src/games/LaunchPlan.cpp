#include "games/LaunchPlan.h"

#include <QFileInfo>

#include "catalogue/EmulatorRow.h"
#include "games/LaunchCommand.h"
#include "games/Unpacker.h"
#include "platform/AppPaths.h"
#include "platform/FileOps.h"
#include "platform/ProcessStarter.h"

namespace rix {

namespace {

// A name that stays below the folder it is taken in.
bool StaysBelow(const QString& name) {
  if (name.isEmpty() || name.startsWith(u'/')) return false;
  for (const QStringView part : QStringView(name).split(u'/'))
    if (part == u"..") return false;
  return true;
}

// The first path component of an entry name, and whether anything lies below it.
QStringView TopFolder(const QString& entry, bool* below) {
  const qsizetype slash = entry.indexOf(u'/');
  *below = slash >= 0;
  return slash < 0 ? QStringView(entry) : QStringView(entry).first(slash);
}

// The name of the folder an archive holds everything in, when that folder is named `stem`
// (ASCII case aside); empty when its entries lie elsewhere too.
QString OwnFolder(const QStringList& entries, const QString& stem) {
  QString found;
  for (const QString& entry : entries) {
    bool below = false;
    const QStringView top = TopFolder(entry, &below);
    if (!below || !EqualsIgnoringAsciiCase(top.toString(), stem)) return {};
    if (found.isEmpty()) found = top.toString();
  }
  return found;
}

}  // namespace

QString FindEmulator(const QString& value, const QString& appDir, const QString& searchPath,
                     QString* lookedFor) {
  const QString inAppDir = ResolvePath(ApplyAppDirRule(value, appDir));
  if (lookedFor) *lookedFor = inAppDir;
  if (value.isEmpty()) return {};
  if (FileExists(inAppDir)) return inAppDir;
  // A bare name names a program on PATH, as a shell finds it.
  if (DirectoryPart(value).isEmpty()) {
    const QString found = FindOnPath(value, searchPath);
    if (!found.isEmpty()) return found;
    if (lookedFor) *lookedFor = inAppDir + QStringLiteral(", PATH");
  }
  return {};
}

LaunchPlan PlanLaunch(const EmulatorRow& row, const QString& romFile, const QString& romMember,
                      const LaunchPlace& place, Unpacker& unpacker) {
  LaunchPlan plan;
  plan.program = FindEmulator(row.program, place.appDir, place.searchPath, &plan.lookedFor);
  if (plan.program.isEmpty()) {
    plan.status = LaunchPlan::Status::NoProgram;
    return plan;
  }
  // The game as this file system names it; the one place a game cell meets the disk.
  const QString relative = CleanRelativeName(romFile);
  const QString archive = place.findGame ? place.findGame(place.romDir, relative)
                                         : CaseResolver().resolve(place.romDir + relative);
  plan.romDir = place.romDir;
  plan.romFile = archive.mid(place.romDir.size());

  if (unpacker.handles(romFile)) {
    const QString folder = place.unpackFolder ? place.unpackFolder() : QString();
    if (folder.isEmpty()) {
      plan.status = LaunchPlan::Status::NoUnpackFolder;
      return plan;
    }
    plan.unpackFolder = folder;
    // Stored names hold no "." or ".." parts; the mask uses the archive's "\".
    const QString member = CleanRelativeName(romMember);
    const QString mask =
        member.isEmpty() ? QStringLiteral("*.*") : QString(member).replace(u'/', u'\\');
    const QStringList entries = unpacker.entries(archive);
    QString target = folder;
    if (row.directoryMode) {
      // The folder is named like the archive, whatever directory the archive lies in. An
      // archive that does not hold its games in a folder of that name is unpacked into one.
      const QString archiveName = FileNamePart(plan.romFile);
      const QString stem = archiveName.left(archiveName.indexOf(u'.'));
      const QString own = OwnFolder(entries, stem);
      plan.unzipName = own.isEmpty() ? stem : own;
      if (own.isEmpty() && StaysBelow(stem)) target += stem + u'/';
      plan.unzipIsDir = true;
    } else {
      plan.unzipName = member.isEmpty() ? entries.value(0) : member;
    }
    if (plan.unzipName.endsWith(u'/')) plan.unzipName.chop(1);
    // A refused archive counts as an unpacking error, and a name that would lead out of the
    // folder is never handed on as a path.
    if (!unpacker.unpack(archive, target, mask) || !StaysBelow(plan.unzipName))
      plan.unzipName.clear();
    plan.romDir = folder;
    // The archive may store the member in another case than the list names it: the emulator
    // gets the name the file has on disk.
    const QString real = CaseResolver().resolve(folder + plan.unzipName);
    plan.romFile = plan.unzipName.isEmpty() || !QFileInfo::exists(real) ? plan.unzipName
                                                                        : real.mid(folder.size());
  }

  // Named by its file name alone, the program is still started from where it was found.
  const QString shownProgram =
      row.startInEmuDir ? QFileInfo(plan.program).fileName() : plan.program;
  if (row.startInGameDir)
    plan.workingDir = plan.romDir;
  else if (row.startInEmuDir)
    plan.workingDir = QFileInfo(plan.program).absolutePath() + u'/';
  else
    plan.workingDir = place.appDir;
  plan.command =
      TrimCommand(BuildLaunchCommand(shownProgram, row.commandBefore, plan.romDir, plan.romFile,
                                     row.commandAfter, row.startInGameDir));
  const QString game = row.startInGameDir ? plan.romFile : plan.romDir + plan.romFile;
  plan.arguments = SplitCommandArguments(row.commandBefore);
  if (!game.isEmpty()) plan.arguments << game;
  plan.arguments << SplitCommandArguments(row.commandAfter);
  return plan;
}

}  // namespace rix
