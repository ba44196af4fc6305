#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

#include "TestSupport.h"
#include "widgets/PictureFile.h"

using rix::PictureFile;

namespace {

const QString kPictures = QStringLiteral(RIX_TEST_DATA "/pictures/");

bool Near(QRgb a, QRgb b) {
  const int tolerance = 24;  // JPEG is lossy
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The fixtures all hold a red and a blue square above a green band.
void ExpectQuad(const QImage& image) {
  ASSERT_EQ(image.size(), QSize(16, 16));
  EXPECT_TRUE(Near(image.pixel(3, 3), qRgb(255, 0, 0)));
  EXPECT_TRUE(Near(image.pixel(12, 3), qRgb(0, 0, 255)));
  EXPECT_TRUE(Near(image.pixel(8, 12), qRgb(0, 255, 0)));
}

}  // namespace

TEST(PictureFileTest, TheExtensionNamesTheTypeWithoutRegardToCase) {
  const QList<std::pair<QString, QString>> cases = {
      {"a.bmp", "Reading bmp file failed"},
      {"A.BMP", "Reading bmp file failed"},
      {"x/y.Gif", "Reading gif file failed"},
      {"p.jpg", "Reading jpg file failed"},
      {"p.JPEG", "Reading jpg file failed"},
      {"p.pcx", "Reading pcx file failed"},
      {"p.PnG", "Reading png file failed"},
      {"p.tif", "Reading tif file failed"},
      {"p.TIFF", "Reading tif file failed"},
      {"noextension", ""},
      {"a.bmp.txt", ""},
      {"dir.png/file", ""},
      {"a.jpe", ""},
  };
  for (const auto& [path, text] : cases) {
    EXPECT_EQ(PictureFile::ReadFailureText(PictureFile::TypeOf(path)), text) << path.toStdString();
  }
}

TEST(PictureFileTest, EachFormatReadsWithItsColours) {
  for (const char* name :
       {"quad.bmp", "quad.gif", "quad.jpg", "quad.pcx", "quad.png", "quad.tif"}) {
    SCOPED_TRACE(name);
    QString failure = "unchanged";
    ExpectQuad(PictureFile::Read(kPictures + name, &failure));
    EXPECT_EQ(failure, "");
  }
}

TEST(PictureFileTest, UndecodableFilesFailWithTheTextOfTheirExtension) {
  rixtest::ScratchDir dir;
  const QByteArray png = rixtest::ReadAll(kPictures + "quad.png");
  const QByteArray pcx = rixtest::ReadAll(kPictures + "quad.pcx");
  QByteArray noise(600, '\0');
  for (int i = 0; i < noise.size(); ++i) noise[i] = char(i * 97 + 13);
  rixtest::WriteAll(dir.file("cut.png"), png.left(png.size() / 2));
  rixtest::WriteAll(dir.file("cut.PCX"), pcx.left(pcx.size() - 10));
  rixtest::WriteAll(dir.file("noise.bmp"), noise);
  rixtest::WriteAll(dir.file("noise.gif"), noise);
  rixtest::WriteAll(dir.file("empty.jpeg"), {});
  rixtest::WriteAll(dir.file("noise.tiff"), noise);

  const QList<std::pair<QString, QString>> cases = {
      {"cut.png", "Reading png file failed"},     {"cut.PCX", "Reading pcx file failed"},
      {"noise.bmp", "Reading bmp file failed"},   {"noise.gif", "Reading gif file failed"},
      {"empty.jpeg", "Reading jpg file failed"},  {"noise.tiff", "Reading tif file failed"},
      {"missing.pcx", "Reading pcx file failed"},
  };
  for (const auto& [name, text] : cases) {
    QString failure;
    EXPECT_TRUE(PictureFile::Read(dir.file(name), &failure).isNull()) << name.toStdString();
    EXPECT_EQ(failure, text);
  }

  // A FIFO or a device under a picture's name is refused at once, as a bad name.
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo.png")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", dir.file("zero.pcx")));
  ASSERT_TRUE(QFile::link("/dev/urandom", dir.file("random.bmp")));
  for (const char* name : {"fifo.png", "zero.pcx", "random.bmp"}) {
    QString failure;
    const qint64 grew = rixtest::PeakMemoryGrowth(
        [&] { EXPECT_TRUE(PictureFile::Read(dir.file(name), &failure).isNull()) << name; });
    EXPECT_EQ(failure, QStringLiteral("不正確檔案名稱"));
    EXPECT_LT(grew, 16 << 20);
  }
}

TEST(PictureFileTest, ContentDecidesWhenTheExtensionMisleads) {
  rixtest::ScratchDir dir;
  const QByteArray png = rixtest::ReadAll(kPictures + "quad.png");
  rixtest::WriteAll(dir.file("really-png.bmp"), png);
  rixtest::WriteAll(dir.file("picture.dat"), png);
  rixtest::WriteAll(dir.file("noise.dat"), QByteArray(300, 'x'));

  ExpectQuad(PictureFile::Read(dir.file("really-png.bmp")));
  ExpectQuad(PictureFile::Read(dir.file("picture.dat")));
  QString failure = "unchanged";
  EXPECT_TRUE(PictureFile::Read(dir.file("noise.dat"), &failure).isNull());
  EXPECT_EQ(failure, "");  // an unknown type has no text to show
}

TEST(PictureFileTest, FilterListsAllMediaFirstThenEachType) {
  const QStringList entries = PictureFile::Filter().split(";;");
  ASSERT_EQ(entries.size(), 7);
  EXPECT_EQ(entries[0], "All Media (*.bmp *.gif *.jpg *.jpeg *.pcx *.png *.tif *.tiff)");
  EXPECT_TRUE(entries.contains("JPEG (*.jpg *.jpeg)"));
  EXPECT_TRUE(entries.contains("PCX (*.pcx)"));
}
