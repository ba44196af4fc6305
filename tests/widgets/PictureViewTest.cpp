#include <gtest/gtest.h>

#include "TestSupport.h"
#include "widgets/PictureView.h"

using rix::PictureView;

namespace {

const QColor kFace(10, 120, 200);

// A view with a button face the pictures below never use.
struct ViewFixture {
  PictureView view;
  QStringList failures;

  explicit ViewFixture(QSize size) {
    QPalette palette = view.palette();
    palette.setColor(QPalette::Button, kFace);
    view.setPalette(palette);
    view.resize(size);
    view.onLoadFailed = [this](const QString& text) { failures << text; };
  }
  QImage shot() { return view.grab().toImage(); }
};

QString SavePicture(const rixtest::ScratchDir& dir, const QString& name, QSize size,
                    QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  const QString path = dir.file(name);
  EXPECT_TRUE(image.save(path));
  return path;
}

bool IsFace(const QImage& shot, int x, int y) { return shot.pixelColor(x, y) == kFace; }

}  // namespace

TEST(PictureViewTest, FitRectKeepsTheAspectRatioAndCentres) {
  EXPECT_EQ(PictureView::FitRect({200, 100}, {100, 100}), QRect(0, 25, 100, 50));
  EXPECT_EQ(PictureView::FitRect({100, 200}, {100, 100}), QRect(25, 0, 50, 100));
  EXPECT_EQ(PictureView::FitRect({10, 5}, {300, 90}), QRect(60, 0, 180, 90));  // enlarged
  EXPECT_EQ(PictureView::FitRect({1000, 1}, {50, 50}), QRect(0, 24, 50, 1));   // never vanishes
  EXPECT_TRUE(PictureView::FitRect({0, 0}, {50, 50}).isEmpty());
  EXPECT_TRUE(PictureView::FitRect({10, 10}, {0, 50}).isEmpty());
}

TEST(PictureViewTest, APictureIsCentredBetweenButtonFaceBars) {
  rixtest::ScratchDir dir;
  ViewFixture f({120, 60});
  ASSERT_TRUE(f.view.setImageName(SavePicture(dir, "wide.png", {40, 10}, Qt::red)));
  EXPECT_EQ(f.view.image().size(), QSize(40, 10));

  // 40 x 10 in 120 x 60 becomes 120 x 30, from y 15 to 44.
  QImage shot = f.shot();
  EXPECT_TRUE(IsFace(shot, 60, 5));
  EXPECT_TRUE(IsFace(shot, 60, 55));
  EXPECT_EQ(shot.pixelColor(0, 20), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(119, 40), QColor(Qt::red));

  EXPECT_TRUE(f.failures.isEmpty());
}

TEST(PictureViewTest, ResizingRescalesThePicture) {
  rixtest::ScratchDir dir;
  ViewFixture f({40, 40});
  ASSERT_TRUE(f.view.setImageName(SavePicture(dir, "square.png", {20, 20}, Qt::green)));
  EXPECT_EQ(f.shot().pixelColor(39, 20), QColor(Qt::green));
  f.view.resize(100, 40);
  const QImage shot = f.shot();
  EXPECT_TRUE(IsFace(shot, 10, 20));
  EXPECT_EQ(shot.pixelColor(50, 39), QColor(Qt::green));
  EXPECT_TRUE(IsFace(shot, 90, 20));
}

TEST(PictureViewTest, AFileThatCannotBeDecodedReportsAndShowsNoPicture) {
  rixtest::ScratchDir dir;
  ViewFixture f({50, 50});
  ASSERT_TRUE(f.view.setImageName(SavePicture(dir, "good.png", {5, 5}, Qt::red)));
  f.shot();  // the scaled picture is now cached

  rixtest::WriteAll(dir.file("bad.PCX"), QByteArray("\x0A\x05\x01\x08 not a whole picture", 28));
  EXPECT_FALSE(f.view.setImageName(dir.file("bad.PCX")));
  EXPECT_EQ(f.failures, QStringList{"Reading pcx file failed"});
  EXPECT_TRUE(f.view.image().isNull());
  EXPECT_EQ(f.view.imageName(), dir.file("bad.PCX"));
  const QImage shot = f.shot();
  EXPECT_TRUE(IsFace(shot, 25, 25));
  EXPECT_TRUE(IsFace(shot, 0, 0));

  // An unknown type has no text to give: nothing is shown and nothing said.
  rixtest::WriteAll(dir.file("notes.txt"), "plain text");
  EXPECT_FALSE(f.view.setImageName(dir.file("notes.txt")));
  EXPECT_EQ(f.failures.size(), 1);
}

TEST(PictureViewTest, APictureSetInMemoryReplacesTheShownOne) {
  rixtest::ScratchDir dir;
  ViewFixture f({30, 30});
  const QString path = SavePicture(dir, "a.png", {3, 3}, Qt::red);
  ASSERT_TRUE(f.view.setImageName(path));
  f.shot();

  QImage drawn = f.view.image().convertToFormat(QImage::Format_RGB32);
  drawn.fill(Qt::yellow);
  f.view.setImage(drawn);
  EXPECT_EQ(f.shot().pixelColor(15, 15), QColor(Qt::yellow));
  // The drawn picture is not the file: naming the file shows it afresh.
  EXPECT_TRUE(f.view.imageName().isEmpty());
  ASSERT_TRUE(f.view.setImageName(path));
  EXPECT_EQ(f.shot().pixelColor(15, 15), QColor(Qt::red));

  f.view.clear();
  EXPECT_TRUE(IsFace(f.shot(), 15, 15));
  EXPECT_TRUE(f.view.imageName().isEmpty());
}
