// The emulator catalogue's handlers of the main window: loading the table and
// tree, the table's editors and pickers, and the selection of an emulator.
#include <QAction>
#include <QTreeWidget>

#include "app/TMainForm.h"
#include "catalogue/EmuColumns.h"
#include "catalogue/TableFile.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/FileError.h"
#include "widgets/Dialogs.h"
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
      rix::LoadTableFile(*EmuGrid, NativeOf(QStringLiteral("RixFront.ini")));
    }
    EmuGrid->autoSizeColumns();
  } catch (...) {
    // The tree stays usable after a failed load.
    CatalogueLoading = false;
    throw;
  }
  CatalogueLoading = false;
  EmuGridClickCell(this, 1, col::GameList);
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
      req.filter = c == col::Program ? QStringLiteral("執行檔|*.exe;*.com;*.bat")
                                     : QStringLiteral("*.* 全部檔案|*.*");
      req.initialDirectory =
          rix::ResolvePath(rix::DirectoryPart(rix::ApplyAppDirRule(current, AppDir())));
      if (const auto chosen = dialogs().openFile(req))
        value = rix::Big5Encode(rix::FileNamePart(*chosen));
      break;
    }
    case col::GameDir:
    case col::PictureDir: {
      const QString start = NativeOf(current);
      if (const auto chosen = dialogs().browseFolder(QStringLiteral("選擇目錄："),
                                                     QStringLiteral("選擇目錄"), start))
        value = rix::Big5Encode(*chosen);
      break;
    }
    default:
      break;
  }
}

void TMainForm::EmuGridKeyUp(int, Qt::KeyboardModifiers) {
  EmuGridClickCell(EmuGrid, EmuGrid->row(), EmuGrid->col());
}

void TMainForm::RomGridMouseDown(StringGrid* sender, Qt::MouseButton) {
  ActiveGrid = sender;
  EditMode1->setChecked(sender->editMode());
  EditModeSB->setChecked(EditMode1->isChecked());
}

void TMainForm::Reload2Click() { LoadCatalogue(); }

void TMainForm::EmuGridClickCell(QObject*, int row, int) {
  if (row <= 0) return;
}

void TMainForm::Save1Click() {
  if (ActiveGrid == EmuGrid) {
    rix::SaveTableFile(EmuGrid->data(), NativeOf(QStringLiteral("RixFront.ini")));
  } else if (!RomListFile.isEmpty()) {
    // With no list loaded there is no file to write to.
    rix::SaveTableFile(RomGrid->data(), rix::ResolvePath(RomListFile));
  }
}
