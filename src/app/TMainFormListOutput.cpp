// Automatic list building from the game directory.
#include "app/TMainForm.h"
#include "games/ListBuilder.h"
#include "platform/DirectorySearch.h"
#include "widgets/Dialogs.h"
#include "widgets/WaitCursor.h"

using rix::Dialogs;

void TMainForm::AutoGridMakeSBClick() {
  LoadRomDir();
  const auto typed =
      dialogs().inputQuery(QStringLiteral("輸入加入列表檔案"), RomDir, ListMask, 255);
  if (!typed) return;
  ListMask = *typed;
  if (ListMask.isEmpty()) return;
  rix::WaitCursor busy;
  const rix::DirectorySearch found(RomDir, ListMask);
  // The search enters the game directory and leaves the program there.
  CurrentDir = RomDir;
  if (found.isEmpty()) {
    dialogs().messageBox(Dialogs::Kind::Info,
                         QStringLiteral("目錄 '") + RomDir + QStringLiteral("' 內沒有指定的檔案！"),
                         Dialogs::Ok);
    return;
  }
  const int added = rix::AddFoundFiles(*RomGrid, found);
  dialogs().messageBox(
      Dialogs::Kind::Info,
      QStringLiteral("供加入 ") + QString::number(added) + QStringLiteral(" 個檔案！"),
      Dialogs::Ok);
}
