#include <gtest/gtest.h>

#include <QImage>
#include <map>

#include "PictureHeader.h"
#include "TestSupport.h"
#include "widgets/GifWriter.h"
#include "widgets/PcxCodec.h"
#include "widgets/PictureWriter.h"

using rix::PictureFile;
using rix::PictureWriter;
using Type = PictureFile::Type;

namespace {

// Odd sides (scan lines need padding in BMP and PCX) and more colours than a
// palette holds.
QImage Gradient(int w = 37, int h = 23) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x + y) * 255 / (w + h)));
  return image;
}

// The picture read back by a reader that is not the writer: Qt's, and the
// program's own for PCX, which Qt cannot read.
QImage ReadBack(const QByteArray& bytes, Type type) {
  if (type == Type::Pcx) return rix::PcxCodec::Decode(bytes);
  return QImage::fromData(bytes);
}

int MaxChannelError(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

}  // namespace

TEST(PictureWriterTest, EveryFormatReadsBackWithItsSizeAndTheDepthAsked) {
  const QImage picture = Gradient();
  // Bits per pixel in the file for a picture written at 24, 8 and 4 bits.
  // Qt writes no 4-bit PNG: its 16 colours take a byte each.
  const std::map<Type, std::array<int, 3>> expected = {
      {Type::Png, {24, 8, 8}},    {Type::Bmp, {24, 8, 4}}, {Type::Tiff, {24, 8, 8}},
      {Type::Jpeg, {24, 24, 24}}, {Type::Gif, {8, 8, 4}},  {Type::Pcx, {24, 8, 8}},
  };
  const int depths[] = {24, 8, 4};
  for (const auto& [type, bits] : expected) {
    for (int d = 0; d < 3; ++d) {
      SCOPED_TRACE(PictureFile::WriteFailureText(type).toStdString() + " at " +
                   std::to_string(depths[d]));
      PictureWriter::Options options;
      options.bitsPerPixel = depths[d];
      QString error;
      const QByteArray bytes = PictureWriter::Encode(picture, type, options, &error);
      ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
      rixtest::PictureHeader header;
      ASSERT_TRUE(rixtest::PictureHeader::Read(bytes, &header));
      EXPECT_EQ(QSize(header.width, header.height), picture.size());
      EXPECT_EQ(header.bitsPerPixel, bits[d]);
      if (type == Type::Png) {
        EXPECT_FALSE(header.interlaced);
      }
      if (type == Type::Tiff) {
        EXPECT_EQ(header.compression, 1);
      }

      const QImage back = ReadBack(bytes, type);
      ASSERT_EQ(back.size(), picture.size());
      if (type == Type::Gif || (type != Type::Jpeg && depths[d] <= 8)) {
        EXPECT_LE(rixtest::DistinctColours(back), 1 << std::min(depths[d], 8));
      }
      // Lossless at full depth; a palette or JPEG stays close.
      const int bitsKept = type == Type::Gif ? std::min(depths[d], 8) : depths[d];
      const int tolerance = type == Type::Jpeg ? 24 : bitsKept == 24 ? 0 : bitsKept == 8 ? 16 : 64;
      EXPECT_LE(MaxChannelError(back, picture), tolerance);
    }
  }
}

TEST(PictureWriterTest, GifKeepsAPaletteOfThePicturesOwnColours) {
  // Up to 256 colours survive exactly, whatever they are.
  QImage few(300, 2, QImage::Format_RGB32);
  for (int x = 0; x < 300; ++x) {
    const QRgb c = qRgb((x % 256) * 7 % 256, 255 - x % 256, 13 * (x % 256) % 256);
    few.setPixel(x, 0, c);
    few.setPixel(x, 1, c);
  }
  const QImage back = ReadBack(rix::GifWriter::Encode(few, 8), Type::Gif);
  ASSERT_EQ(back.size(), few.size());
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), few);

  // Two tight clusters far from any fixed web palette: both are kept close,
  // and a lone caption blue among them stays blue.
  QImage photo = Gradient(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      photo.setPixel(x, y,
                     y < 32 ? qRgb(90 + x % 9, 140 + y % 5, 17) : qRgb(200, 30 + x % 11, 170));
  photo.setPixel(5, 5, qRgb(0, 0, 255));
  QString error;
  const QImage small = ReadBack(rix::GifWriter::Encode(photo, 4, &error), Type::Gif);
  ASSERT_FALSE(small.isNull()) << error.toStdString();
  EXPECT_LE(rixtest::DistinctColours(small), 16);
  EXPECT_LE(MaxChannelError(small, photo), 8);
}
