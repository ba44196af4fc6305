// Automatic list building from the game directory, and the two outputs of a
// table: an HTML file and printed pages.
#include <QFileInfo>
#include <QPrinter>

#include "app/TMainForm.h"
#include "games/GridPrint.h"
#include "games/HtmlExport.h"
#include "games/ListBuilder.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
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
  const rix::AddedFiles done = rix::AddFoundFiles(*RomGrid, found);
  // The new rows get their lamps and the count follows, as after a load;
  // without a list file the panel keeps saying which file is missing.
  MarkGameFiles();
  if (!RomListFile.isEmpty()) ShowGameCount();
  QString text =
      QStringLiteral("供加入 ") + QString::number(done.added) + QStringLiteral(" 個檔案！");
  if (done.leftOut > 0)
    text += QStringLiteral("略過 ") + QString::number(done.leftOut) +
            QStringLiteral(" 個名稱無法存入列表的檔案（含換行字元或沒有 Big5 字碼）。");
  dialogs().messageBox(Dialogs::Kind::Info, text, Dialogs::Ok);
}

void TMainForm::SaveToHTML1Click() {
  if (ActiveGrid) SaveGridAsHtml(ActiveGrid);
}

void TMainForm::SaveGridAsHtml(rix::StringGrid* grid) {
  Dialogs::FileRequest request;
  request.filter = QStringLiteral("HTML|*.htm|All Files|*.*");
  request.defaultSuffix = QStringLiteral("htm");
  request.initialDirectory = SaveDialogDir;
  request.fileName = SaveDialogName;
  const auto chosen = dialogs().saveFile(request);
  if (!chosen) return;
  const QFileInfo target(*chosen);
  SaveDialogDir = target.absolutePath();
  SaveDialogName = target.fileName();
  if (rix::FileExists(*chosen) &&
      dialogs().messageBox(Dialogs::Kind::Confirm, QStringLiteral("檔案已存在，是否覆蓋？"),
                           Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
    return;
  rix::WaitCursor busy;
  rix::SaveGridHtml(grid->data(), grid->fixedRows() > 0, rix::ActiveBorderColour(), *chosen);
}

void TMainForm::Print1Click() {
  if (!ActiveGrid) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Portrait);
  if (!dialogs().printDialog(printer, Dialogs::PrintRequest{})) return;
  rix::WaitCursor busy;
  rix::PrintGrid(ActiveGrid->data(), printer);
}
