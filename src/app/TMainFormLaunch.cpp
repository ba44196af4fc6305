// The launch: the lock, unpacking ZIP games into the private temporary
// directory, the command line, starting the emulator, and the clean-up.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>
#include <utility>

#include "app/TMainForm.h"
#include "catalogue/EmuColumns.h"
#include "games/LaunchCommand.h"
#include "games/ZipReader.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectoryTree.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/ProcessStarter.h"
#include "platform/TempDirectory.h"
#include "widgets/Dialogs.h"
#include "widgets/WaitCursor.h"

namespace col = rix::emucol;

namespace {

// Whether a native path lies inside a directory (both made absolute, "."
// and ".." resolved); nothing outside the temporary directory is touched.
bool Inside(const QString& path, const QString& dir) {
  const QString p = QDir::cleanPath(QDir(dir).absoluteFilePath(path));
  QString d = QDir::cleanPath(QDir(dir).absolutePath());
  if (!d.endsWith(u'/')) d += u'/';
  return p.startsWith(d) && p.size() > d.size();
}

}  // namespace

void TMainForm::Timer1Timer() {
  ++LaunchTicks;
  if (LaunchTicks > 5) {
    Timer1->stop();
    LaunchTicks = 0;
  }
}

void TMainForm::RomGridDblClickCell(QObject*, int, int) {
  if (Timer1->isActive()) return;
  Timer1->start();
  LaunchTicks = 0;
  CleanupUnzip();
  if (RomListFile.isEmpty()) return;

  const QString exePath = NativeOf(EmuValue(col::Program));
  LoadRomDir();
  SplitRomCell(RomGrid->row());
  if (EmuValue(col::Program).isEmpty() || !rix::FileExists(exePath)) {
    dialogs().messageBox(rix::Dialogs::Kind::Error, QStringLiteral("無法執行遊戲！"),
                         rix::Dialogs::Ok);
    return;
  }
  QString exe = exePath;
  // The game as this file system names it: "\" separators, "." and ".." parts
  // taken as Windows takes them, case found. Case resolution keeps the length
  // of every part, so the game's name is what follows the directory.
  const QString archive = rix::CaseResolver().resolve(RomDir + rix::CleanRelativeName(RomFile));
  QString romFile = archive.mid(RomDir.size());

  if (!rix::IsZipGame(RomFile)) {
    UnzipPath.clear();
  } else {
    const QString temp = TempDir();
    if (!rix::EnsurePrivateTempDir(temp)) {
      dialogs().messageBox(rix::Dialogs::Kind::Error, QStringLiteral("目錄建立錯誤！"),
                           rix::Dialogs::Yes);
      return;
    }
    // Stored names hold no "." or ".." parts; the mask uses the archive's "\".
    const QString member = rix::CleanRelativeName(RomMember);
    const QString mask =
        member.isEmpty() ? QStringLiteral("*.*") : QString(member).replace(u'/', u'\\');
    if (rix::IsYes(EmuGrid->cell(col::DirectoryMode, EmuGrid->row()))) {
      // The folder is named like the archive, whatever directory the archive lies in.
      const QString archiveName = rix::FileNamePart(romFile);
      UnzipName = archiveName.left(archiveName.indexOf(u'.'));
      UnzipIsDir = true;
    } else {
      UnzipName = member.isEmpty() ? rix::Big5Decode(rix::ZipFirstEntryName(archive)) : member;
      UnzipIsDir = false;
    }
    UnzipName.replace(u'\\', u'/');
    UnzipPath = temp + UnzipName;
    int unpacked = 0;
    {
      rix::WaitCursor busy;
      unpacked = rix::ZipExtractMatching(archive, temp, rix::Big5Encode(mask), &UnzipTouched);
    }
    // A refused archive counts as an unpacking error, and a name the reader refuses (a way
    // out of the temporary directory) is never handed on as a path.
    if (unpacked == rix::kZipRefused || !rix::ZipNameIsSafe(rix::Big5Encode(UnzipName))) {
      UnzipName.clear();
      UnzipPath.clear();
    }
    RomDir = temp;
    RomFile = UnzipName;
    // The archive may store the member in another case than the list names it.
    const QString real = rix::CaseResolver().resolve(temp + UnzipName);
    romFile = UnzipName.isEmpty() || !QFileInfo::exists(real) ? UnzipName : real.mid(temp.size());
  }

  if (rix::IsYes(EmuGrid->cell(col::StartInEmuDir, EmuGrid->row()))) {
    CurrentDir = QFileInfo(exe).absolutePath() + u'/';
    exe = QFileInfo(exe).fileName();
  }
  const bool inGameDir = rix::IsYes(EmuGrid->cell(col::StartInGameDir, EmuGrid->row()));
  if (inGameDir) CurrentDir = RomDir;
  const QString command = rix::TrimCommand(rix::BuildLaunchCommand(
      exe, CommandEdit1->text(), RomDir, romFile, CommandEdit2->text(), inGameDir));
  if (starter_) starter_->start(command, CurrentDir, AppDir());
}

void TMainForm::CleanupUnzip() {
  // Whatever else the last unpacking wrote goes too, however deep, whatever happens below.
  const QStringList touched = std::exchange(UnzipTouched, {});
  const auto removeTouched = qScopeGuard([&] {
    for (const QString& name : touched) rix::RemoveTreeBelow(TempDir(), name);
  });
  if (UnzipPath.isEmpty() || UnzipName.isEmpty()) return;
  const QString path = UnzipPath;
  const QString name = UnzipName;
  // What was unpacked is forgotten once it has been cleaned up, and nothing
  // outside the temporary directory is ever deleted.
  UnzipPath.clear();
  UnzipName.clear();
  if (!Inside(path, TempDir())) return;
  if (UnzipIsDir) {
    if (!QFileInfo(path).isDir()) return;  // nothing of its own name was unpacked
    DeleteFiles(path, QStringLiteral("*.*"));
    CurrentDir = TempDir();
    // Folders inside the unpacked one go too, however deep; the directory search above
    // passes them over.
    if (!rix::RemoveTreeBelow(TempDir(), name))
      throw rix::FileError(QStringLiteral("輸出入錯誤 %1").arg(EACCES), EACCES);
  } else {
    const QFileInfo fi(path);
    DeleteFiles(fi.absolutePath(), fi.fileName());
  }
}

void TMainForm::DeleteFiles(const QString& directory, const QString& mask) {
  if (mask.isEmpty()) return;
  QString dir = directory;
  if (!dir.endsWith(u'/')) dir += u'/';
  rix::WaitCursor busy;
  if (!QFileInfo(dir).isDir()) return;
  CurrentDir = dir;
  const QFileInfoList entries =
      QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo& fi : entries) {
    if (!rix::WildcardMatch(mask, fi.fileName())) continue;
    const QByteArray native = QFile::encodeName(fi.filePath());
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0 && !(st.st_mode & S_IWUSR) && !S_ISLNK(st.st_mode))
      ::chmod(native.constData(), st.st_mode | S_IWUSR);
    if (!QFile::remove(fi.filePath()))
      dialogs().messageBox(rix::Dialogs::Kind::Error,
                           QStringLiteral("無法刪除 ") + fi.fileName() + QStringLiteral(" 檔案！"),
                           rix::Dialogs::Yes);
  }
}
