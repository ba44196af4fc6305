#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "EmulatorLine.h"
#include "PictureHeader.h"
#include "ShownForm.h"
#include "TestSupport.h"
#include "app/TMainForm.h"
#include "games/PictureCaption.h"
#include "widgets/PcxCodec.h"
#include "widgets/PictureView.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

const QString kPictures = QStringLiteral(RIX_TEST_DATA "/pictures/");
const QRgb kGrey = qRgb(128, 128, 128);

// Picture cells of the list, one game a row. Title.JPG is on disk as written
// and found through its lower-cased name; missing.png is not there.
const QStringList kCells = {"Title.JPG", "a.png",  "b.gif",       "c.bmp", "d.tif",     "e.pcx",
                            "f.jpeg",    "g.tiff", "missing.png", "",      "sub\\h.png"};

class PictureToolsTest : public ::testing::Test {
protected:
  void SetUp() override {
    QByteArray catalogue = rixtest::TableLine(
        {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
    catalogue += rixtest::EmulatorLine({.key = "1", .list = "a.lst", .pictureDir = "pics\\"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), catalogue));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e1,1\r\n"));
    QByteArray list = rixtest::TableLine({"", "名稱", "說明", "檔案", "圖片", "備註"});
    for (const QString& cell : kCells)
      list += rixtest::TableLine({"", "game " + cell, "", "g.zip", cell, "note"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), list));

    // A plain grey picture wide enough for the whole caption.
    QImage grey(320, 40, QImage::Format_RGB32);
    grey.fill(kGrey);
    ASSERT_TRUE(QDir().mkpath(dir.file("pics/sub")));
    ASSERT_TRUE(grey.save(dir.file("pics/a.png")));
    ASSERT_TRUE(grey.save(dir.file("pics/Title.JPG"), "JPEG"));
    ASSERT_TRUE(grey.save(dir.file("pics/f.jpeg"), "JPEG"));
    ASSERT_TRUE(grey.save(dir.file("pics/sub/h.png")));
    for (const char* name : {"b.gif", "c.bmp", "d.tif", "e.pcx"})
      ASSERT_TRUE(QFile::copy(kPictures + "quad." + QString(name).section('.', 1),
                              dir.file("pics/") + name));
    ASSERT_TRUE(QFile::copy(kPictures + "quad.tif", dir.file("pics/g.tiff")));
    ASSERT_TRUE(QDir().mkpath(dir.file("out")));

    form = ShownForm(dir.path(), &dialogs);
    rom = form->RomGrid;
    ASSERT_EQ(rom->rowCount(), kCells.size() + 1);
    rom->setRow(1);
    dialogs.clearShown();
  }

  // Access code, caption (the preset when null) and folder.
  void Run(const QString& folder, const QString& caption = {}) {
    dialogs.answerText("qzt47");
    dialogs.answerText(caption.isNull() ? form->CaptionText : caption);
    dialogs.answerText(folder);
  }

  QStringList OutFiles() {
    QStringList files;
    for (const QString& f : QDir(dir.file("out")).entryList(QDir::Files)) files << f;
    return files;
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
  StringGrid* rom = nullptr;
};

// The caption drawn by hand: the text's strokes, rendered once in the same
// font, in blue at (1, 1) and white wherever a stroke lies within one pixel.
QImage ExpectedCaption(const QImage& picture, const QString& text) {
  const QFont font = PictureCaption::Font(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
  QImage strokes(picture.size(), QImage::Format_ARGB32);
  strokes.fill(Qt::transparent);
  {
    QPainter p(&strokes);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(0, p.fontMetrics().ascent()), text);
  }
  auto stroke = [&](int x, int y) { return strokes.valid(x, y) && qAlpha(strokes.pixel(x, y)); };
  QImage out = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      bool near = false;
      for (int dy = 0; dy <= 2; ++dy)
        for (int dx = 0; dx <= 2; ++dx) near = near || stroke(x - dx, y - dy);
      if (stroke(x - 1, y - 1))
        out.setPixel(x, y, qRgb(0, 0, 255));
      else if (near)
        out.setPixel(x, y, qRgb(255, 255, 255));
    }
  return out;
}

QImage Read(const QString& path) {
  if (path.endsWith(".pcx")) return PcxCodec::Decode(rixtest::ReadAll(path));
  return QImage(path);
}

}  // namespace

TEST_F(PictureToolsTest, AnythingButTheExactAccessCodeStopsSilently) {
  for (const char* code : {"QZT47", " qzt47", "qzt47 ", ""}) {
    dialogs.answerText(code);
    form->RowPicAddText1->trigger();
  }
  dialogs.answerCancel();
  form->RowPicAddText1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 5);
  for (const auto& shown : dialogs.shown()) {
    EXPECT_EQ(shown.kind, "input");
    EXPECT_EQ(shown.caption, QStringLiteral("密碼"));
    EXPECT_EQ(shown.text, QStringLiteral("輸入密碼"));
    EXPECT_EQ(shown.preset, "");
  }
  // Without a current game row (only the header is left), the right code
  // goes no further either.
  rom->setRowCount(1);
  dialogs.answerText("qzt47");
  form->RowPicAddText1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 6);
  EXPECT_EQ(dialogs.pending(), 0);
  EXPECT_TRUE(OutFiles().isEmpty());
}

TEST_F(PictureToolsTest, CaptionsEveryPictureIntoTheFolderInTheFormatOfItsName) {
  Run(dir.file("out"));
  form->RowPicAddText1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 3);
  EXPECT_EQ(dialogs.shown()[1].caption, QStringLiteral("圖片加入文字"));
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("輸入文字"));
  EXPECT_EQ(dialogs.shown()[1].preset, TMainForm::MakerWebAddress());
  EXPECT_EQ(dialogs.shown()[2].kind, "folder");
  EXPECT_EQ(dialogs.shown()[2].caption, QStringLiteral("選擇目錄"));
  EXPECT_EQ(dialogs.shown()[2].text, QStringLiteral("選擇目錄："));
  EXPECT_EQ(dialogs.shown()[2].preset, dir.file("pics/"));
  EXPECT_EQ(form->CaptionOutputDir, dir.file("out/"));

  // Lower-cased names; .jpeg, .tiff and the missing picture give nothing.
  EXPECT_EQ(OutFiles(), (QStringList{"a.png", "b.gif", "c.bmp", "d.tif", "e.pcx", "title.jpg"}));
  EXPECT_TRUE(QFile::exists(dir.file("out/sub/h.png")));
  for (const QString& name : OutFiles()) {
    SCOPED_TRACE(name.toStdString());
    const QImage source = Read(dir.file("pics/") + (name == "title.jpg" ? "Title.JPG" : name));
    const QImage written = Read(dir.file("out/") + name);
    EXPECT_EQ(written.size(), source.size());
    rixtest::PictureHeader header;
    ASSERT_TRUE(rixtest::PictureHeader::Read(rixtest::ReadAll(dir.file("out/") + name), &header));
    if (name.endsWith(".gif")) {
      EXPECT_LE(header.bitsPerPixel, 8);
      EXPECT_LE(rixtest::DistinctColours(written), 256);
    } else {
      EXPECT_EQ(header.bitsPerPixel, 24);
    }
  }
  // Blue strokes outlined in white, the rest of the picture untouched.
  QImage grey(320, 40, QImage::Format_RGB32);
  grey.fill(kGrey);
  EXPECT_EQ(Read(dir.file("out/a.png")), ExpectedCaption(grey, TMainForm::MakerWebAddress()));
  // The view keeps the last captioned picture.
  EXPECT_TRUE(form->GameImage->isVisible());
  EXPECT_EQ(form->GameImage->image(), Read(dir.file("out/sub/h.png")));

  // The caption and the folder are remembered.
  dialogs.clearShown();
  dialogs.answerText("qzt47");
  dialogs.answerText(QStringLiteral("新的字"));
  dialogs.answerCancel();
  form->RowPicAddText1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 3);
  EXPECT_EQ(dialogs.shown()[2].preset, dir.file("out/"));
  dialogs.answerText("qzt47");
  dialogs.answerCancel();
  form->RowPicAddText1Click();
  EXPECT_EQ(dialogs.shown()[4].preset, QStringLiteral("新的字"));
}

TEST_F(PictureToolsTest, ThePictureFolderAsOutputAsksForEachPictureAndYesReplacesIt) {
  const QByteArray gif = rixtest::ReadAll(dir.file("pics/b.gif"));
  Run(dir.file("pics"), "X");
  // Every picture there exists, f.jpeg and g.tiff too; only Title.JPG and
  // a.png are replaced.
  dialogs.answerButton(Dialogs::Yes);
  dialogs.answerButton(Dialogs::Yes);
  for (int i = 0; i < 7; ++i) dialogs.answerButton(Dialogs::No);
  form->RowPicAddText1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 3 + 9);
  for (int i = 3; i < 12; ++i)
    EXPECT_EQ(dialogs.shown()[i].text, QStringLiteral("檔案已存在是否覆蓋？"));
  EXPECT_EQ(dialogs.pending(), 0);
  EXPECT_EQ(rixtest::ReadAll(dir.file("pics/b.gif")), gif);
  EXPECT_FALSE(QFile::exists(dir.file("pics/title.jpg")));
  QImage grey(320, 40, QImage::Format_RGB32);
  grey.fill(kGrey);
  EXPECT_EQ(Read(dir.file("pics/a.png")), ExpectedCaption(grey, "X"));
  // Lossy, but the caption is there, and only in the corner.
  const QImage title = Read(dir.file("pics/Title.JPG"));
  int marked = 0, elsewhere = 0;
  for (int y = 0; y < title.height(); ++y)
    for (int x = 0; x < title.width(); ++x) {
      const QRgb p = title.pixel(x, y);
      const bool changed = std::max({std::abs(qRed(p) - 128), std::abs(qGreen(p) - 128),
                                     std::abs(qBlue(p) - 128)}) > 48;
      (x < 24 && y < 24 ? marked : elsewhere) += changed;
    }
  EXPECT_GT(marked, 20);
  EXPECT_EQ(elsewhere, 0);
}

TEST_F(PictureToolsTest, AFailedWriteShowsBothBoxesKeepsTheOldFileAndGoesOn) {
  rom->setRowCount(4);  // Title.JPG, a.png, b.gif
  const QByteArray old = "old picture";
  ASSERT_TRUE(rixtest::WriteAll(dir.file("out/a.png"), old));
  Run(dir.file("out"));
  dialogs.answerButton(Dialogs::Ok);
  dialogs.answerButton(Dialogs::Ok);
  dialogs.answerButton(Dialogs::Yes);
  rixtest::WithFileSizeLimit(64, [&] { form->RowPicAddText1->trigger(); });
  QStringList seen;
  for (const auto& shown : dialogs.shown().mid(3)) seen << shown.kind + ": " + shown.text;
  EXPECT_EQ(seen, (QStringList{"error: 輸出入錯誤 27", "info: Writing jpg file failed",
                               QStringLiteral("confirm: 檔案已存在是否覆蓋？"),
                               "error: 輸出入錯誤 27", "info: Writing png file failed",
                               "error: 輸出入錯誤 27", "info: Writing gif file failed"}));
  EXPECT_EQ(rixtest::ReadAll(dir.file("out/a.png")), old);
  EXPECT_EQ(OutFiles(), QStringList{"a.png"});  // no temporary file left behind
}

TEST_F(PictureToolsTest, CleanupEmptiesOnlyThePictureCellOfMissingPictures) {
  const QByteArray before = rixtest::ReadAll(dir.file("a.lst"));
  dialogs.answerButton(Dialogs::No);
  form->RowDelPic1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "confirm");
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("是否開始刪除不存在的圖檔設定？"));
  EXPECT_EQ(rom->cell(4, 9), "missing.png");

  dialogs.answerButton(Dialogs::Yes);
  form->RowDelPic1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(rom->rowCount(), kCells.size() + 1);
  for (int r = 1; r < rom->rowCount(); ++r) {
    const QString cell = kCells[r - 1];
    EXPECT_EQ(rom->cell(4, r), cell == "missing.png" ? "" : cell.toLatin1()) << r;
    EXPECT_EQ(rom->cell(1, r), ("game " + cell).toLatin1());
    EXPECT_EQ(rom->cell(5, r), "note");
  }
  EXPECT_EQ(rixtest::ReadAll(dir.file("a.lst")), before);  // nothing saved
  rom->setRowCount(1);
  form->RowDelPic1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 2);
}
