// The picture tools of the main window: the caption written onto every game
// picture, and the cleanup of picture entries whose files are missing. Both
// work on the game list, whichever grid was pressed last.
#include <QGuiApplication>
#include <QScreen>

#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "games/GameListColumns.h"
#include "games/PictureCaption.h"
#include "platform/AppPaths.h"
#include "platform/FileOps.h"
#include "widgets/Dialogs.h"
#include "widgets/PictureView.h"
#include "widgets/WaitCursor.h"

using rix::Dialogs;
namespace gamecol = rix::gamecol;

namespace {

// Asked before the caption tool runs; compared exactly, case and blanks
// included.
const QString kAccessCode = QStringLiteral("qzt47");

// What the screen offers: its colour depth and its resolution for the font.
struct ScreenTraits {
  int depth = 24;
  qreal dotsPerInch = 96;
};

ScreenTraits Screen() {
  ScreenTraits t;
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    t.depth = s->depth();
    t.dotsPerInch = s->logicalDotsPerInchY();
  }
  return t;
}

}  // namespace

QString TMainForm::MakerWebAddress() { return QStringLiteral("http://rixfront.example/"); }

void TMainForm::RowPicAddText1Click() {
  const auto code =
      dialogs().inputQuery(QStringLiteral("密碼"), QStringLiteral("輸入密碼"), QString(), 0);
  if (!code || *code != kAccessCode) return;
  if (RomGrid->row() == 0) return;
  const auto typed = dialogs().inputQuery(QStringLiteral("圖片加入文字"),
                                          QStringLiteral("輸入文字"), CaptionText, 255);
  if (!typed) return;
  CaptionText = *typed;

  if (CaptionOutputDir.isEmpty()) CaptionOutputDir = NativeOf(SelectedEmulator().pictureDir);
  const auto folder = dialogs().browseFolder(QStringLiteral("選擇目錄："),
                                             QStringLiteral("選擇目錄"), CaptionOutputDir);
  if (!folder) return;
  CaptionOutputDir = *folder;
  if (!CaptionOutputDir.endsWith(u'/')) CaptionOutputDir += u'/';

  rix::WaitCursor busy;
  const ScreenTraits screen = Screen();
  rix::PictureWriter::Options options;
  options.bitsPerPixel = rix::PictureWriter::ScreenBitsPerPixel(screen.depth);
  const rix::PictureCaption caption(CaptionText, rix::PictureCaption::Font(screen.dotsPerInch));
  // The pictures' folders do not change during the run (an output file in
  // them replaces one that was there), so their listings are kept.
  rix::CaseResolver pictures;
  const QString pictureDir = SelectedEmulator().pictureDir;
  bool captioned = false;
  for (int r = 1; r < RomGrid->rowCount(); ++r) {
    const QString source = pictures.resolve(rix::NativePath(PicturePath(pictureDir, r)));
    if (!rix::FileExists(source)) continue;
    // A picture that cannot be decoded has been reported by the view; its
    // name must not receive the previous picture's pixels.
    if (!GameImage->setImageName(source)) continue;
    GameImage->setImage(caption.draw(GameImage->image()));
    captioned = true;

    const QString name = PictureName(r);
    // An output file named in another case is the same file, as on the
    // system these folders come from.
    const QString output = rix::ResolvePath(CaptionOutputDir + name);
    if (rix::FileExists(output) &&
        dialogs().messageBox(Dialogs::Kind::Confirm, QStringLiteral("檔案已存在是否覆蓋？"),
                             Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
      continue;
    const rix::PictureFile::Type type = rix::PictureCaption::OutputType(name);
    if (type == rix::PictureFile::Type::Unknown) continue;
    // A sub-folder named in the picture column is made where missing; when
    // that fails, the write reports it.
    rix::ForceDirectories(rix::DirectoryPart(output));
    GameImage->saveImage(output, type, options);
  }
  if (captioned) GameImage->setVisible(true);
}

void TMainForm::RowDelPic1Click() {
  if (RomGrid->row() == 0) return;
  if (dialogs().messageBox(Dialogs::Kind::Confirm, QStringLiteral("是否開始刪除不存在的圖檔設定？"),
                           Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
    return;
  rix::CaseResolver pictures;
  const QString pictureDir = SelectedEmulator().pictureDir;
  RomGrid->beginBulkChange();
  for (int r = 1; r < RomGrid->rowCount(); ++r) {
    // An empty entry stays empty without being written again.
    if (RomGrid->cell(gamecol::Picture, r).isEmpty()) continue;
    if (!rix::FileExists(pictures.resolve(rix::NativePath(PicturePath(pictureDir, r)))))
      RomGrid->setCell(gamecol::Picture, r, QByteArrayView());
  }
  RomGrid->endBulkChange();
}
