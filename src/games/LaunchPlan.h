#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace rix {

class Unpacker;
struct EmulatorRow;

// Where the launch looks and unpacks.
struct LaunchPlace {
  QString appDir;      // the application (catalogue) directory, ending with "/"
  QString romDir;      // the game directory as this file system names it, ending with "/"
  QString searchPath;  // PATH, for a program given by its bare name
  // A fresh folder for what one launch unpacks, ending with "/"; empty when it cannot be made.
  std::function<QString()> unpackFolder;
  // Where a game (directory, then the name relative to it with "/" separators) lies on disk.
  // Unset: the name as written, or else its components found without regard to ASCII case.
  std::function<QString(const QString& dir, const QString& name)> findGame;
};

// What the launch starts, decided without touching anything but the unpack folder.
struct LaunchPlan {
  enum class Status { Ready, NoProgram, NoUnpackFolder };
  Status status = Status::Ready;
  QString lookedFor;  // with NoProgram: where the program was looked for

  QString program;        // the file started
  QStringList arguments;  // the typed parts split, the game one argument between them
  QString workingDir;     // the emulator's, never the front end's
  QString command;        // the command text as the user reads it

  QString romDir, romFile;  // the game as handed on: after unpacking, the unpack folder and name
  QString unpackFolder;     // the folder of this launch's unpacking; empty when none
  QString unzipName;        // the unpacked item handed on, relative to the folder
  bool unzipIsDir = false;
};

// The program of column 3: the application-directory rule, then, for a name without a
// directory that names no file in the application directory, the PATH. Empty when not found;
// `lookedFor` then says where it was looked for.
QString FindEmulator(const QString& value, const QString& appDir, const QString& searchPath,
                     QString* lookedFor);

// Plans one launch of a game (the game cell split into file and member) for an emulator row,
// whose command parts are those the user sees in the edits. An archive game is unpacked
// through `unpacker` on the way.
LaunchPlan PlanLaunch(const EmulatorRow& row, const QString& romFile, const QString& romMember,
                      const LaunchPlace& place, Unpacker& unpacker);

}  // namespace rix
