// The game list's handlers of the main window: pictures, markers, the game
// count, keys and mouse on the list, and its cell editors.
#include <QLineEdit>
#include <algorithm>
#include <future>
#include <vector>

#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "games/GameListColumns.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectoryIndex.h"
#include "platform/FileOps.h"
#include "widgets/Dialogs.h"
#include "widgets/PictureView.h"

using rix::StringGrid;
namespace gamecol = rix::gamecol;

namespace {

// Qt's "Name (*.a *.b);;..." as the program's "Name|*.a;*.b|...".
QString PipeFilter(const QString& qtFilter) {
  QStringList out;
  for (const QString& entry : qtFilter.split(QStringLiteral(";;"))) {
    const qsizetype open = entry.lastIndexOf(u'(');
    const qsizetype close = entry.lastIndexOf(u')');
    if (open < 0 || close < open) continue;
    out << entry.left(open).trimmed()
        << entry.mid(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts).join(u';');
  }
  return out.join(u'|');
}

}  // namespace

QString TMainForm::PictureName(int row) const {
  return rix::Big5Decode(rix::TrimBytes(rix::LowerAscii(RomGrid->cell(gamecol::Picture, row))));
}

QString TMainForm::PicturePath(const QString& pictureDir, int row) const {
  // Only the file name is lower-cased, never the directory; the two are
  // joined as they stand.
  return rix::ApplyAppDirRule(pictureDir + PictureName(row), AppDir());
}

void TMainForm::RomGridClickCell(QObject*, int row, int) { ShowGamePicture(row); }

void TMainForm::ShowGamePicture(int row) {
  if (RomListFile.isEmpty()) return;
  const QString path = PicturePath(SelectedEmulator().pictureDir, row);
  const QString native = path.isEmpty() ? QString() : rix::ResolveFile(path);
  if (!native.isEmpty()) {
    GameImage->setVisible(true);
    if (GameImage->imageName() != native) GameImage->setImageName(native);
  } else {
    GameImage->setVisible(false);
  }
}

QString TMainForm::GameDirectory() const {
  QString dir = NativeOf(SelectedEmulator().gameDir);
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

void TMainForm::LoadRomDir() { RomDir = GameDirectory(); }

void TMainForm::SplitRomCell(int row) {
  RomFile = rix::Big5Decode(rix::TrimBytes(RomGrid->cell(gamecol::Game, row)));
  const qsizetype semi = RomFile.indexOf(u';');
  if (semi < 0) {
    RomMember.clear();
    return;
  }
  RomMember = RomFile.mid(semi + 1);
  RomFile.truncate(semi);
}

void TMainForm::MarkGameFiles() { MarkGameFiles(rix::DirectoryIndex(GameDirectory())); }

void TMainForm::MarkGameFiles(rix::DirectoryIndex&& listed, bool rowsShown) {
  LoadRomDir();
  rix::DirectoryIndex index(std::move(listed));
  if (index.directory() != RomDir) index = rix::DirectoryIndex(RomDir);
  StringGrid& g = *RomGrid;
  rix::GridData& data = g.data();
  const int rows = g.rowCount();
  // The game file as SplitRomCell takes it, looked at in place.
  auto gameName = [&](int r) {
    const QByteArrayView cell = rix::TrimmedView(data.cell(gamecol::Game, r));
    const qsizetype semi = cell.indexOf(';');
    return semi < 0 ? cell : cell.first(semi);
  };
  // Plain ASCII names (most of them) are looked up as they are, half of a
  // long list on a second thread; the others after decoding, here.
  index.readListing();
  std::vector<signed char> present(static_cast<size_t>(std::max(rows, 0)), -1);
  auto lookUp = [&](int from, int to) {
    for (int r = from; r < to; ++r)
      present[static_cast<size_t>(r)] = static_cast<signed char>(index.plainFile(gameName(r)));
  };
  if (rows > 8192) {
    auto second = std::async(std::launch::async, [&] { lookUp(rows / 2, rows); });
    lookUp(1, rows / 2);
  } else {
    lookUp(1, rows);
  }
  if (!rowsShown) g.beginBulkChange();
  for (int r = 1; r < rows; ++r) {
    int mark = present[static_cast<size_t>(r)];
    if (mark < 0) mark = index.hasCellFile(gameName(r)) ? 1 : 0;
    data.setCellImage(gamecol::Lamp, r, mark);
  }
  if (rows > 1) SplitRomCell(rows - 1);
  if (rowsShown)
    g.columnImagesChanged(gamecol::Lamp);
  else
    g.endBulkChange();
}

void TMainForm::RomPanelDblClick() { ShowGameCount(); }

void TMainForm::ShowGameCount() {
  // The grid always keeps one row; alone and blank it is no game.
  int games = RomGrid->rowCount() - 1;
  if (games == 1) {
    bool blank = true;
    for (int c = 0; c < RomGrid->colCount() && blank; ++c)
      blank = rix::TrimBytes(RomGrid->cell(c, 1)).isEmpty();
    if (blank) games = 0;
  }
  RomPanel->setText(QStringLiteral("遊戲總數: ") + QString::number(games));
}

void TMainForm::RomGridKeyPress(QChar key) {
  if (key == u'\r') RomGridDblClickCell(RomGrid, RomGrid->row(), RomGrid->col());
}

void TMainForm::RomGridKeyUp(int, Qt::KeyboardModifiers) { ShowGamePicture(RomGrid->row()); }

void TMainForm::RomGridMouseUp(Qt::MouseButton) { ShowGamePicture(RomGrid->row()); }

StringGrid::EditorKind TMainForm::RomGridGetEditorType(int c, int) {
  return (c == gamecol::Game || c == gamecol::Picture) ? StringGrid::EditorKind::Ellipsis
                                                       : StringGrid::EditorKind::Plain;
}

void TMainForm::RomGridEllipsClick(int c, int row, QByteArray& value) {
  if (c != gamecol::Game && c != gamecol::Picture) return;
  rix::Dialogs::FileRequest req;
  if (c == gamecol::Game) {
    req.filter = QStringLiteral("*.* 全部檔案|*.*");
    req.initialDirectory = NativeOf(SelectedEmulator().gameDir);
  } else {
    req.filter = PipeFilter(rix::PictureView::Filter());
    req.initialDirectory = NativeOf(SelectedEmulator().pictureDir);
  }
  const auto chosen = dialogs().openFile(req);
  if (!chosen) return;
  // A file under the game or picture directory is named from there, sub-folders
  // included; one elsewhere cannot be joined to that directory, so only its
  // name is kept.
  QString name = rix::PickedPath(*chosen, req.initialDirectory, false, true);
  if (name.isEmpty()) name = rix::FileNamePart(*chosen);
  value = rix::Big5Encode(name);
  // A picked game is taken to be there, without a test.
  if (c == gamecol::Game) RomGrid->setCellImage(gamecol::Lamp, row, 1);
}
