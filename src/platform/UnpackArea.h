#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "platform/ProcessStarter.h"

namespace rix {

// The folders games are unpacked into. Each running window has a folder of its own below the
// private temporary directory, named after the program's process (id and start time) so that
// two copies of the program never touch each other's games, and each launch a fresh folder in
// it, so that a game still in use is never overwritten. A launch's folder is removed only once
// its emulator has ended; until then a record in the window's folder names the emulator, so
// that a later run can finish the clean-up.
class UnpackArea {
public:
  using RunningTest = std::function<bool(const ProcessId&)>;

  // `root` is the private temporary directory, ending with "/".
  explicit UnpackArea(QString root, RunningTest running = IsRunning);
  // Removes every launch whose emulator has ended; the folder goes when nothing waits.
  ~UnpackArea();
  UnpackArea(const UnpackArea&) = delete;
  UnpackArea& operator=(const UnpackArea&) = delete;

  // The window's folder, ending with "/" (made on first use).
  const QString& folder() const { return folder_; }
  // A new, empty folder for one launch, ending with "/"; empty when it cannot be made.
  QString newLaunchFolder();
  // The emulator that uses a launch's folder; an invalid id means none was started.
  void keep(const QString& launchFolder, const ProcessId& emulator);
  // Removes the folders of launches whose emulator has ended. Returns how many still wait.
  int release();

  // At start-up: removes what ended runs left behind, except the folders of launches whose
  // emulator still runs, and never a running window's folder.
  static void Sweep(const QString& root, const RunningTest& running = IsRunning);

private:
  struct Launch {
    QString name;  // the folder's name inside the window's folder
    ProcessId emulator;
  };
  void writeRecord() const;

  QString root_;
  QString folder_;
  RunningTest running_;
  QList<Launch> launches_;
  int next_ = 0;
  bool made_ = false;
};

}  // namespace rix
