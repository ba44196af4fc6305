#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include "banner/AboutArtwork.h"
#include "banner/AboutArtworkDrawing.h"
#include "banner/EffectLabel.h"
#include "banner/TAboutForm.h"

namespace {

TEST(AboutFormTest, IsABorderlessPictureWithTheVersionOnIt) {
  TAboutForm form;
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.size(), QSize(300, 200));
  EXPECT_EQ(form.Image1->geometry(), QRect(0, 0, 300, 200));
  EXPECT_EQ(form.LabelEffect10->geometry(), QRect(127, 99, 64, 33));
  EXPECT_EQ(form.LabelEffect10->Caption(), QStringLiteral("v0.8"));
  EXPECT_EQ(form.LabelEffect10->FaceColor(), QColor(128, 128, 0));
  EXPECT_EQ(form.LabelEffect10->font().pixelSize(), 27);
  EXPECT_TRUE(form.LabelEffect10->font().bold());

  form.show();
  const QRect screen = form.screen()->geometry();
  EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(form.geometry().center().y() - screen.center().y()), 1);

  // The version label paints olive over the picture.
  const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
  bool olive = false;
  for (int y = 99; y < 132 && !olive; ++y)
    for (int x = 127; x < 191 && !olive; ++x) olive = shot.pixel(x, y) == qRgb(128, 128, 0);
  EXPECT_TRUE(olive);
}

TEST(AboutFormTest, ArtworkIsA300By200PictureOfSixteenColours) {
  const QImage art = rix::AboutArtwork();
  ASSERT_EQ(art.size(), QSize(300, 200));
  EXPECT_EQ(art.format(), QImage::Format_Indexed8);
  EXPECT_LE(art.colorCount(), 16);
  QSet<int> used;
  for (int y = 0; y < art.height(); ++y)
    for (int x = 0; x < art.width(); ++x) used.insert(art.pixelIndex(x, y));
  EXPECT_GE(used.size(), 8);  // a picture, not a blank
}

TEST(AboutFormTest, TheStoredArtworkIsWholeAndIsItsDrawing) {
  const QImage stored = rix::AboutArtwork();  // also makes the resource reachable
  QFile file(QStringLiteral(":/banner/AboutArtwork.bmp"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bmp = file.readAll();
  ASSERT_GE(bmp.size(), 54);
  auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bmp.constData() + at); };
  auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bmp.constData() + at); };
  // The header's size is the file's: a mismatch is what drew a band of noise.
  EXPECT_EQ(u32(2), static_cast<quint32>(bmp.size()));
  EXPECT_EQ(u32(18), 300u);
  EXPECT_EQ(u32(22), 200u);
  EXPECT_EQ(u16(28), 4);  // sixteen colours
  EXPECT_EQ(u32(10) + 152u * 200u, static_cast<quint32>(bmp.size()));
  // Row by row it is the picture it was drawn as; text may differ by a few
  // pixels where fonts render otherwise, a band of noise by whole rows.
  const QImage drawn = rix::DrawAboutArtwork();
  ASSERT_EQ(stored.size(), drawn.size());
  int total = 0, worstRow = 0;
  for (int y = 0; y < drawn.height(); ++y) {
    int row = 0;
    for (int x = 0; x < drawn.width(); ++x) row += stored.pixel(x, y) != drawn.pixel(x, y);
    worstRow = std::max(worstRow, row);
    total += row;
  }
  EXPECT_LE(worstRow, drawn.width() / 4);
  EXPECT_LE(total, drawn.width() * drawn.height() / 50);
}

TEST(AboutFormTest, AClickOnThePictureOrTheVersionClosesIt) {
  TAboutForm form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTest::mouseClick(form.Image1, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FALSE(form.isVisible());

  form.show();
  QTest::mouseClick(form.LabelEffect10, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());

  // A right click is not a click.
  form.show();
  QTest::mouseClick(form.Image1, Qt::RightButton, {}, QPoint(20, 20));
  EXPECT_TRUE(form.isVisible());
}

TEST(AboutFormTest, AsAnAboutBoxItWaitsUntilClickedAway) {
  TAboutForm form;
  bool clicked = false;
  QTimer::singleShot(50, &form, [&] {
    EXPECT_TRUE(form.isModal());
    clicked = true;
    QTest::mouseClick(form.Image1, Qt::LeftButton, {}, QPoint(150, 180));
  });
  form.exec();
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
