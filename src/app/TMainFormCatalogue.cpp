// The emulator catalogue's handlers of the main window: loading the table and
// tree, the table's editors and pickers, and the selection of an emulator.
#include <QAction>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <optional>

#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "banner/WebLink.h"
#include "catalogue/EmulatorRow.h"
#include "catalogue/TableFile.h"
#include "catalogue/TreeFile.h"
#include "options/OptionsPages.h"
#include "options/ZsnesPage.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectoryIndex.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/AutoTreeView.h"
#include "widgets/Dialogs.h"
#include "widgets/PictureView.h"
#include "widgets/WaitCursor.h"

using rix::StringGrid;
namespace col = rix::emucol;

void TMainForm::LoadCatalogue() {
  CatalogueLoading = true;
  try {
    EmuGrid->clearCells();
    EmuGrid->setRowCount(2);
    {
      rix::WaitCursor busy;
      const QString table = NativeOf(QStringLiteral("RixFront.ini"));
      EmuTableStamp = rix::StampOf(table);
      rix::LoadTableFile(*EmuGrid, table);
    }
    EmuGrid->autoSizeColumns();
    const QString treeError = rix::LoadTreeFile(*EmuTree, NativeOf(QStringLiteral("EmuTree.ini")));
    if (!treeError.isEmpty()) throw rix::FileError(treeError);
    SelectTreeNodeOfRow1();
  } catch (...) {
    // The tree stays usable after a failed load.
    CatalogueLoading = false;
    ShowFirstEmulatorHint();
    throw;
  }
  CatalogueLoading = false;
  SelectEmulatorRow(1);
  ShowFirstEmulatorHint();
}

void TMainForm::SelectTreeNodeOfRow1() {
  // The tree shows the emulator whose games are listed: the first node that
  // leads to row 1, else the first node as before.
  int key = -1;
  if (EmuGrid->rowCount() > 1 &&
      !rix::ParseWholeNumber(rix::TrimBytes(EmuGrid->cell(col::TreeKey, 1)), &key))
    key = -1;
  if (key >= 0) {
    for (QTreeWidgetItemIterator it(EmuTree); *it; ++it) {
      if (TAutoTreeView::NodeKey(*it) == key) {
        EmuTree->setCurrentItem(*it);
        return;
      }
    }
  }
  EmuTree->SelectFirstNode();
}

void TMainForm::ShowFirstEmulatorHint() {
  if (!CatalogueEmpty()) return;
  // A new catalogue would otherwise greet its user with a missing game list.
  RomPanel->setText(
      QStringLiteral("還沒有模擬器：在左方按右鍵選「顯示模擬器列表」，在表格按右鍵選「編輯模式」"
                     "填入第一列，再選「存檔」"));
}

void TMainForm::EnsureCatalogueDirs() {
  rix::WaitCursor busy;
  for (int r = 1; r < EmuGrid->rowCount(); ++r) {
    for (int c : {col::Document, col::Program, col::GameList, col::GameDir, col::PictureDir})
      EnsureFileDir(rix::Big5Decode(rix::TrimBytes(EmuGrid->cell(c, r))));
  }
}

StringGrid::EditorKind TMainForm::EmuGridGetEditorType(int c, int) {
  switch (c) {
    case col::Document:
    case col::Program:
    case col::GameList:
    case col::GameDir:
    case col::PictureDir:
      return StringGrid::EditorKind::Ellipsis;
    case col::StartInEmuDir:
    case col::StartInGameDir:
    case col::DirectoryMode:
      return StringGrid::EditorKind::DropDown;
    default:
      return StringGrid::EditorKind::Plain;
  }
}

void TMainForm::EmuGridEllipsClick(int c, int, QByteArray& value) {
  const QString current = rix::Big5Decode(value);
  switch (c) {
    case col::Document:
    case col::GameList:
    case col::Program: {
      rix::Dialogs::FileRequest req;
      if (c == col::Program) {
        // Programs here rarely end in .exe: those that may be run are listed too.
        req.filter = QStringLiteral("執行檔|*.exe;*.com;*.bat|*.* 全部檔案|*.*");
        req.executables = true;
      } else {
        req.filter = QStringLiteral("*.* 全部檔案|*.*");
      }
      req.initialDirectory =
          rix::ResolvePath(rix::DirectoryPart(rix::ApplyAppDirRule(current, AppDir())));
      // Stored so that the catalogue's path rule finds the file again.
      if (const auto chosen = dialogs().openFile(req))
        value = rix::Big5Encode(rix::PickedPath(*chosen, AppDir(), false));
      break;
    }
    case col::GameDir:
    case col::PictureDir: {
      const QString start = NativeOf(current);
      // With its final separator, since a picture name is joined to it as it stands.
      if (const auto chosen = dialogs().browseFolder(QStringLiteral("選擇目錄："),
                                                     QStringLiteral("選擇目錄"), start))
        value = rix::Big5Encode(rix::PickedPath(*chosen, AppDir(), true));
      break;
    }
    default:
      break;
  }
}

void TMainForm::EmuGridKeyUp(int, Qt::KeyboardModifiers) { SelectEmulatorRow(EmuGrid->row()); }

void TMainForm::RomGridMouseDown(StringGrid* sender, Qt::MouseButton) {
  ActiveGrid = sender;
  EditMode1->setChecked(sender->editMode());
  EditModeSB->setChecked(EditMode1->isChecked());
}

void TMainForm::Reload2Click() {
  ConfirmSaveList(EmuGrid);
  LoadCatalogue();
}

void TMainForm::EmuTreeChange(QObject*, QTreeWidgetItem*) {
  if (!CatalogueLoading) EmuTreeClick();
}

int TMainForm::EmuTreeGetImageIndex(QObject*, QTreeWidgetItem*) { return 0; }

int TMainForm::EmuTreeGetSelectedIndex(QObject*, QTreeWidgetItem*) { return 1; }

void TMainForm::EmuTreeClick() {
  const int key = TAutoTreeView::NodeKey(EmuTree->Selected());
  if (EmuTree->Selected() && key >= 0) {
    for (int r = 1; r < EmuGrid->rowCount(); ++r) {
      int value = -1;
      if (!rix::ParseWholeNumber(rix::TrimBytes(EmuGrid->cell(col::TreeKey, r)), &value))
        value = -1;
      if (value == key) {
        EmuGrid->setRow(r);
        SelectEmulatorRow(r);
        return;
      }
    }
  }
  // A heading, or a key no row has: the game list empties and is loaded
  // again at the next selection of any emulator.
  ConfirmSaveList(RomGrid);
  EmptyRomList();
  RomListFile.clear();
  ShowGameCount();
}

void TMainForm::EmptyRomList() {
  RomGrid->clearCells();
  RomGrid->setRowCount(2);
  RomGrid->data().setModified(false);
  // No game, no picture: the last emulator's must not stay on screen.
  GameImage->setVisible(false);
}

void TMainForm::EmuGridClickCell(QObject*, int row, int) { SelectEmulatorRow(row); }

void TMainForm::SelectEmulatorRow(int row) {
  if (row <= 0 || row >= EmuGrid->rowCount()) return;
  auto value = [&](int c) { return rix::Big5Decode(rix::TrimBytes(EmuGrid->cell(c, row))); };
  const QString newList = rix::ApplyAppDirRule(value(col::GameList), AppDir());
  // A new list is looked for once. Its game directory is listed on another
  // thread from here on, while the rest of the selection and the load go on.
  const bool listChanges = newList != RomListFile;
  const QString native = listChanges ? rix::ResolvePath(newList) : QString();
  const bool listFound = listChanges && rix::FileExists(native);
  std::optional<rix::DirectoryIndex> games;
  if (listFound) {
    games.emplace(GameDirectory());
    games->startListing();
  }
  ConfirmSaveDocument();
  if (listChanges) ConfirmSaveList(RomGrid);
  LoadDocument(row);
  rix::SetWebLink(WWWLink, EmuGrid->cell(col::WebLink, row).toByteArray());
  CommandEdit1->setText(value(col::CommandBefore));
  CommandEdit2->setText(value(col::CommandAfter));

  SetNotebook->setCurrentIndex(rix::kCommonPage);
  SetNotebook->setCurrentIndex(rix::OptionsPageFor(value(col::OptionsPage)));
  ShowOptionsPage();

  if (!listChanges) {
    // Another emulator sharing the list keeps it and its edits, but its games
    // lie elsewhere: the lamps must tell of its own directory.
    if (!RomListFile.isEmpty() && GameDirectory() != RomDir) MarkGameFiles();
    return;
  }
  RomListFile = newList;
  EmptyRomList();
  auto missing = [&] {
    // The path looked for, as this system writes it.
    RomPanel->setText(QStringLiteral("找不到 '") + native + QStringLiteral("' 檔案！"));
    RomListFile.clear();
    RomGrid->attachPopupMenu(nullptr);
  };
  if (!listFound) return missing();
  try {
    rix::WaitCursor busy;
    RomListStamp = rix::StampOf(native);
    rix::LoadTableFile(*RomGrid, native);
  } catch (const rix::FileError& e) {
    // A FIFO or a device named as the list is no list: said once, then as
    // for a missing one. Other failures keep the rows read and end here.
    if (e.code() != 3) throw;
    dialogs().errorBox(e.text());
    EmptyRomList();
    return missing();
  }
  RomGrid->autoSizeColumns();
  ShowGamePicture(1);
  RomGrid->attachPopupMenu(GridPopupMenu);
  // The rows go on screen while the game directory is still being listed;
  // the lamps follow when the listing is in, and the handler returns only
  // then, so whatever comes next (a launch, a list built, a save) sees them.
  RomGrid->paintNow();
  MarkGameFiles(std::move(*games), true);
  ShowGameCount();
}

void TMainForm::Reload1Click() {
  if (ActiveGrid == EmuGrid) {
    Reload2Click();
    return;
  }
  // A reload drops what was typed, so it asks first, as a selection does.
  ConfirmSaveList(RomGrid);
  // Forgetting the list makes the selection read it again, markers and all.
  RomListFile.clear();
  SelectEmulatorRow(EmuGrid->row());
}

void TMainForm::Save1Click() { SaveGrid(ActiveGrid == EmuGrid ? EmuGrid : RomGrid); }

void TMainForm::SaveGrid(StringGrid* grid) {
  // With no list loaded there is no file to write to.
  if (grid != EmuGrid && RomListFile.isEmpty()) return;
  const QString native =
      grid == EmuGrid ? NativeOf(QStringLiteral("RixFront.ini")) : rix::ResolvePath(RomListFile);
  rix::FileStamp& stamp = grid == EmuGrid ? EmuTableStamp : RomListStamp;
  if (!MayOverwrite(native, stamp)) return;
  rix::SaveTableFile(grid->data(), native);
  stamp = rix::StampOf(native);
  grid->data().setModified(false);
}

bool TMainForm::MayOverwrite(const QString& nativePath, const rix::FileStamp& stamp) {
  const rix::FileStamp now = rix::StampOf(nativePath);
  // A file gone since is no one's work to keep.
  if (now.isNull() || now == stamp) return true;
  return dialogs().messageBox(
             rix::Dialogs::Kind::Confirm,
             QStringLiteral("檔案 ") + nativePath + QStringLiteral(" 已被其他程式修改，是否覆蓋？"),
             rix::Dialogs::Yes | rix::Dialogs::No) == rix::Dialogs::Yes;
}

void TMainForm::ConfirmSaveList(StringGrid* grid) {
  if (!grid->data().modified() || (grid == RomGrid && RomListFile.isEmpty())) return;
  if (dialogs().messageBox(rix::Dialogs::Kind::Confirm,
                           QStringLiteral("列表內容已修改，是否存檔？"),
                           rix::Dialogs::Yes | rix::Dialogs::No) == rix::Dialogs::Yes)
    SaveGrid(grid);
}
