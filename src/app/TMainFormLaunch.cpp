// The launch: the lock, the plan of what to start, starting the emulator, and the clean-up of
// what earlier launches unpacked.
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "games/GameListColumns.h"
#include "games/LaunchPlan.h"
#include "platform/AppPaths.h"
#include "platform/ByteText.h"
#include "platform/DirectoryIndex.h"
#include "platform/ProcessStarter.h"
#include "platform/UnpackArea.h"
#include "widgets/Dialogs.h"
#include "widgets/WaitCursor.h"

namespace gamecol = rix::gamecol;

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

  LoadRomDir();
  SplitRomCell(RomGrid->row());
  rix::EmulatorRow row = SelectedEmulator();
  // The command parts as the edits show them, stored in the table or not.
  row.commandBefore = CommandEdit1->text();
  row.commandAfter = CommandEdit2->text();
  rix::LaunchPlace place;
  place.appDir = AppDir();
  place.romDir = RomDir;
  place.searchPath = qEnvironmentVariable("PATH");
  place.unpackFolder = [this] { return unpackArea_->newLaunchFolder(); };
  // The very file the lamp saw: the cell's own bytes first, then its text. A name whose bytes
  // have no text form cannot be an argument, and ".." is taken by the text, as Windows does.
  QByteArray cellFile =
      rix::TrimmedView(RomGrid->cell(gamecol::Game, RomGrid->row())).toByteArray();
  if (const qsizetype semi = cellFile.indexOf(';'); semi >= 0) cellFile.truncate(semi);
  place.findGame = [cellFile](const QString& dir, const QString& name) {
    const QByteArray seen = rix::FindCellFile(dir, cellFile);
    const QString text = QFile::decodeName(seen);
    if (!seen.isEmpty() && QFile::encodeName(text) == seen && !seen.contains("/../")) return text;
    return rix::CaseResolver().resolve(dir + name);
  };
  rix::LaunchPlan plan;
  {
    rix::WaitCursor busy;
    plan = rix::PlanLaunch(row, RomFile, RomMember, place, archives_);
  }

  switch (plan.status) {
    case rix::LaunchPlan::Status::NoProgram:
      // The path looked for, as this system writes it.
      dialogs().messageBox(rix::Dialogs::Kind::Error,
                           QStringLiteral("無法執行遊戲！\n'") + plan.lookedFor + u'\'',
                           rix::Dialogs::Ok);
      return;
    case rix::LaunchPlan::Status::NoUnpackFolder:
      dialogs().messageBox(rix::Dialogs::Kind::Error, QStringLiteral("目錄建立錯誤！"),
                           rix::Dialogs::Yes);
      return;
    case rix::LaunchPlan::Status::Ready:
      break;
  }
  RomDir = plan.romDir;
  RomFile = plan.romFile;
  UnzipName = plan.unzipName;
  UnzipIsDir = plan.unzipIsDir;
  UnzipPath = UnzipName.isEmpty() ? QString() : plan.unpackFolder + UnzipName;
  const rix::ProcessId emulator =
      starter_ ? starter_->start({plan.program, plan.arguments, plan.workingDir, plan.command})
               : rix::ProcessId{};
  if (!plan.unpackFolder.isEmpty()) unpackArea_->keep(plan.unpackFolder, emulator);
}

void TMainForm::CleanupUnzip() {
  // A game is removed only once its emulator has ended; what waits goes at a later launch, at
  // the close, or at a later start.
  unpackArea_->release();
}
