#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <initializer_list>

#include "TestSupport.h"
#include "widgets/PcxCodec.h"

using rix::PcxCodec;

namespace {

struct Layout {
  int bitsPerPixel = 8;
  int planes = 1;
  int width = 1;
  int height = 1;
  int bytesPerLine = 2;
  int version = 5;
  int encoding = 1;
};

void Put16(QByteArray& b, int at, int v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char((v >> 8) & 0xFF);
}

QByteArray Header(const Layout& l, std::initializer_list<QRgb> palette = {}) {
  QByteArray h(128, '\0');
  h[0] = 0x0A;
  h[1] = char(l.version);
  h[2] = char(l.encoding);
  h[3] = char(l.bitsPerPixel);
  Put16(h, 4, 10);  // a picture need not start at the origin
  Put16(h, 6, 20);
  Put16(h, 8, 10 + l.width - 1);
  Put16(h, 10, 20 + l.height - 1);
  int i = 16;
  for (QRgb c : palette) {
    h[i++] = char(qRed(c));
    h[i++] = char(qGreen(c));
    h[i++] = char(qBlue(c));
  }
  h[65] = char(l.planes);
  Put16(h, 66, l.bytesPerLine);
  return h;
}

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(char(v));
  return b;
}

QByteArray VgaPalette(const QList<QRgb>& colours) {
  QByteArray b(1, 0x0C);
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < colours.size() ? colours[i] : qRgb(0, 0, 0);
    b += Bytes({qRed(c), qGreen(c), qBlue(c)});
  }
  return b;
}

QList<QRgb> Row(const QImage& image, int y) {
  QList<QRgb> row;
  for (int x = 0; x < image.width(); ++x) row << (image.pixel(x, y) | 0xFF000000);
  return row;
}

const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0), kLime = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);

QImage RandomImage(int w, int h, quint32 seed) {
  QRandomGenerator rng(seed);
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      // Runs of equal pixels and bytes with both top bits set, beside noise.
      image.setPixel(x, y, x % 5 == 0 ? qRgb(0xC0, 0xFF, 0xC3) : (rng.generate() | 0xFF000000));
  return image;
}

}  // namespace

TEST(PcxCodecTest, OneBitPicturesAreBlackAndWhiteUnlessTheHeaderGivesTwoColours) {
  // 10 pixels wide: two bytes per line, the last six bits padding.
  const Layout mono{.bitsPerPixel = 1, .width = 10, .height = 2, .bytesPerLine = 2, .encoding = 0};
  const QByteArray data = Bytes({0b10110000, 0b01111111, 0b00000000, 0b11000000});

  const QImage plain = PcxCodec::Decode(Header(mono) + data);
  ASSERT_FALSE(plain.isNull());
  EXPECT_EQ(plain.size(), QSize(10, 2));
  const QRgb B = kBlack, W = kWhite;
  EXPECT_EQ(Row(plain, 0), (QList<QRgb>{W, B, W, W, B, B, B, B, B, W}));
  EXPECT_EQ(Row(plain, 1), (QList<QRgb>{B, B, B, B, B, B, B, B, W, W}));

  const QImage coloured = PcxCodec::Decode(Header(mono, {kBlue, kRed}) + data);
  EXPECT_EQ(Row(coloured, 1).front(), kBlue);
  EXPECT_EQ(Row(coloured, 1).back(), kRed);

  // Version 3 files carry no palette, whatever the header bytes hold.
  Layout old = mono;
  old.version = 3;
  EXPECT_EQ(Row(PcxCodec::Decode(Header(old, {kBlue, kRed}) + data), 1).back(), kWhite);
}

TEST(PcxCodecTest, FourBitPlanesCombineIntoSixteenColours) {
  const Layout planar{
      .bitsPerPixel = 1, .planes = 4, .width = 4, .height = 1, .bytesPerLine = 2, .encoding = 0};
  // Pixel indices 0, 5, 10, 15: plane p holds bit p of each index.
  const QByteArray data = Bytes({0b01010000, 0, 0b00110000, 0, 0b01010000, 0, 0b00110000, 0});
  QList<QRgb> palette;
  for (int i = 0; i < 16; ++i) palette << qRgb(i * 16, 255 - i * 16, i);
  QByteArray header = Header(planar);
  for (int i = 0; i < 16; ++i) {
    header[16 + 3 * i] = char(qRed(palette[i]));
    header[17 + 3 * i] = char(qGreen(palette[i]));
    header[18 + 3 * i] = char(qBlue(palette[i]));
  }
  const QImage image = PcxCodec::Decode(header + data);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(Row(image, 0), (QList<QRgb>{palette[0], palette[5], palette[10], palette[15]}));

  // No palette in the header: the standard sixteen colours.
  const QImage standard = PcxCodec::Decode(Header(planar) + data);
  EXPECT_EQ(Row(standard, 0),
            (QList<QRgb>{kBlack, qRgb(0xAA, 0, 0xAA), qRgb(0x55, 0xFF, 0x55), kWhite}));
}

TEST(PcxCodecTest, PackedPixelsReadHighBitsFirst) {
  const QList<QRgb> palette{kBlack, kRed, kLime, kBlue};
  // Three 4-bit pixels 1, 3, 2 and a padding nibble; two lines by RLE.
  const Layout nibbles{.bitsPerPixel = 4, .width = 3, .height = 2, .bytesPerLine = 2};
  const QImage four = PcxCodec::Decode(Header(nibbles, {kBlack, kRed, kLime, kBlue}) +
                                       Bytes({0x13, 0x20, 0xC2, 0x31}));
  ASSERT_FALSE(four.isNull());
  EXPECT_EQ(Row(four, 0), (QList<QRgb>{kRed, kBlue, kLime}));
  EXPECT_EQ(Row(four, 1), (QList<QRgb>{kBlue, kRed, kBlue}));

  const Layout pairs{.bitsPerPixel = 2, .width = 5, .height = 1, .bytesPerLine = 2, .encoding = 0};
  const QImage two = PcxCodec::Decode(Header(pairs, {kBlack, kRed, kLime, kBlue}) +
                                      Bytes({0b00011011, 0b10000000}));
  ASSERT_FALSE(two.isNull());
  EXPECT_EQ(Row(two, 0), (QList<QRgb>{kBlack, kRed, kLime, kBlue, kLime}));
}

TEST(PcxCodecTest, EightBitPicturesUseThePaletteAtTheEnd) {
  QList<QRgb> palette(256, kBlack);
  palette[1] = kRed;
  palette[0xC5] = kLime;
  palette[0xFF] = kBlue;
  const Layout l{.width = 3, .height = 2, .bytesPerLine = 4};
  // Line 1: 1, C5 (a literal above 0xBF needs a run of one), FF, pad.
  // Line 2: a run of four 0xFF that covers the padding too.
  const QByteArray rle = Bytes({0x01, 0xC1, 0xC5, 0xC1, 0xFF, 0x00, 0xC4, 0xFF});
  const QImage image = PcxCodec::Decode(Header(l) + rle + VgaPalette(palette));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_Indexed8);
  EXPECT_EQ(Row(image, 0), (QList<QRgb>{kRed, kLime, kBlue}));
  EXPECT_EQ(Row(image, 1), (QList<QRgb>{kBlue, kBlue, kBlue}));

  QByteArray noMarker = Header(l) + rle + VgaPalette(palette);
  noMarker[noMarker.size() - 769] = 0x0B;
  EXPECT_TRUE(PcxCodec::Decode(noMarker).isNull());
  EXPECT_TRUE(PcxCodec::Decode(Header(l) + rle).isNull());
}

TEST(PcxCodecTest, RgbPlanesFollowEachOtherInEveryLine) {
  const Layout l{.planes = 3, .width = 3, .height = 2, .bytesPerLine = 4, .encoding = 0};
  const QByteArray data = Bytes({255, 0, 10, 0, /**/ 0, 255, 20, 0, /**/ 0, 0, 30, 0,  //
                                 1,   2, 3,  0, /**/ 4, 5,   6,  0, /**/ 7, 8, 9,  0});
  const QImage image = PcxCodec::Decode(Header(l) + data);
  ASSERT_FALSE(image.isNull());
  EXPECT_FALSE(image.hasAlphaChannel());
  EXPECT_EQ(Row(image, 0), (QList<QRgb>{kRed, kLime, qRgb(10, 20, 30)}));
  EXPECT_EQ(Row(image, 1), (QList<QRgb>{qRgb(1, 4, 7), qRgb(2, 5, 8), qRgb(3, 6, 9)}));

  // A fourth plane is alpha, unless it is all zero.
  const Layout rgba{.planes = 4, .width = 1, .height = 1, .bytesPerLine = 2, .encoding = 0};
  const QImage translucent = PcxCodec::Decode(Header(rgba) + Bytes({9, 0, 8, 0, 7, 0, 128, 0}));
  EXPECT_EQ(translucent.pixel(0, 0), qRgba(9, 8, 7, 128));
  const QImage opaque = PcxCodec::Decode(Header(rgba) + Bytes({9, 0, 8, 0, 7, 0, 0, 0}));
  EXPECT_EQ(opaque.pixel(0, 0), qRgb(9, 8, 7));
}

TEST(PcxCodecTest, RunsMayCrossScanLines) {
  // One run of 12 fills both lines and all three planes of a 2 x 2 picture.
  const Layout l{.planes = 3, .width = 2, .height = 2, .bytesPerLine = 2};
  const QImage image = PcxCodec::Decode(Header(l) + Bytes({0xCC, 0x40}));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(Row(image, 1), (QList<QRgb>{qRgb(0x40, 0x40, 0x40), qRgb(0x40, 0x40, 0x40)}));
}

TEST(PcxCodecTest, PicturesWrittenByAnotherProgramDecode) {
  // Made by ImageMagick: red and blue squares over a green band, 16 x 16.
  for (const char* name : {"quad.pcx", "pal8.pcx"}) {
    SCOPED_TRACE(name);
    const QImage image =
        PcxCodec::Decode(rixtest::ReadAll(QStringLiteral(RIX_TEST_DATA "/pictures/") + name));
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.pixel(0, 0) | 0xFF000000, kRed);
    EXPECT_EQ(image.pixel(15, 7) | 0xFF000000, kBlue);
    EXPECT_EQ(image.pixel(8, 15) | 0xFF000000, kLime);
  }
}

TEST(PcxCodecTest, EveryTruncationIsAFailure) {
  const QByteArray whole = PcxCodec::Encode(RandomImage(9, 5, 7), PcxCodec::Depth::Rgb24);
  ASSERT_FALSE(PcxCodec::Decode(whole).isNull());
  for (qsizetype n = 0; n < whole.size(); ++n)
    ASSERT_TRUE(PcxCodec::Decode(whole.left(n)).isNull()) << "cut at " << n;

  // An 8-bit file cut short loses its palette first, then its data.
  const QByteArray indexed = PcxCodec::Encode(RandomImage(9, 5, 8), PcxCodec::Depth::Indexed8);
  for (qsizetype n = 0; n < indexed.size(); n += 37)
    ASSERT_TRUE(PcxCodec::Decode(indexed.left(n)).isNull()) << "cut at " << n;
}

TEST(PcxCodecTest, HostileHeadersAreRefused) {
  const Layout ok{.planes = 3, .width = 4, .height = 4, .bytesPerLine = 4};
  const QByteArray data(4096, 0x11);
  ASSERT_FALSE(PcxCodec::Decode(Header(ok) + data).isNull());

  auto with = [&](auto change) {
    Layout l = ok;
    change(l);
    return Header(l) + data;
  };
  QByteArray notPcx = Header(ok) + data;
  notPcx[0] = 0x0B;
  QByteArray badEncoding = Header(ok) + data;
  badEncoding[2] = 2;
  QByteArray reversed = Header(ok) + data;
  Put16(reversed, 8, 5);  // right edge left of the left edge (10)

  const QList<std::pair<const char*, QByteArray>> cases = {
      {"not a PCX", notPcx},
      {"unknown encoding", badEncoding},
      {"negative width", reversed},
      {"3 bits per pixel", with([](Layout& l) { l.bitsPerPixel = 3; })},
      {"2 planes of 8 bits", with([](Layout& l) { l.planes = 2; })},
      {"5 planes of 1 bit", with([](Layout& l) { l.bitsPerPixel = 1, l.planes = 5; })},
      {"zero planes", with([](Layout& l) { l.planes = 0; })},
      {"line shorter than the width", with([](Layout& l) { l.bytesPerLine = 3; })},
      {"zero bytes per line", with([](Layout& l) { l.bytesPerLine = 0; })},
      {"too wide", with([](Layout& l) { l.width = 40000, l.bytesPerLine = 40000; })},
      {"too many pixels",
       with([](Layout& l) { l.width = l.height = 30000, l.bytesPerLine = 30000; })},
      {"more than the data can hold",
       with([](Layout& l) { l.width = l.height = 4000, l.bytesPerLine = 4000; })},
      {"huge padding", with([](Layout& l) { l.height = 8000, l.bytesPerLine = 65535; })},
      {"header only", Header(ok)},
      {"shorter than a header", Header(ok).left(100)},
  };
  for (const auto& [what, bytes] : cases) EXPECT_TRUE(PcxCodec::Decode(bytes).isNull()) << what;
}

TEST(PcxCodecTest, TwentyFourBitRoundTripKeepsEveryPixel) {
  for (int width : {1, 13, 200}) {  // odd widths are padded; 200 makes runs longer than 63
    SCOPED_TRACE(width);
    QImage original = RandomImage(width, 7, width);
    if (width == 200) original.fill(qRgb(0xC8, 0x10, 0xFE));
    const QByteArray bytes = PcxCodec::Encode(original, PcxCodec::Depth::Rgb24);
    EXPECT_EQ(bytes.at(65), 3);
    EXPECT_EQ((uchar(bytes.at(66)) | uchar(bytes.at(67)) << 8) % 2, 0);
    EXPECT_EQ(PcxCodec::Decode(bytes), original);
  }
}

TEST(PcxCodecTest, PaletteRoundTripKeepsIndicesAndColours) {
  QImage indexed(17, 3, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i) table << qRgb(i, 255 - i, (i * 7) & 0xFF);
  indexed.setColorTable(table);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 17; ++x) indexed.setPixel(x, y, (x * 31 + y * 200) & 0xFF);
  const QImage back = PcxCodec::Decode(PcxCodec::Encode(indexed, PcxCodec::Depth::Indexed8));
  ASSERT_EQ(back.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.colorTable(), table);
  EXPECT_EQ(back, indexed);

  // A true-colour picture of few colours keeps them exactly.
  QImage few(6, 4, QImage::Format_ARGB32);
  few.fill(kBlue);
  few.setPixel(5, 3, kRed);
  const QImage reduced = PcxCodec::Decode(PcxCodec::Encode(few, PcxCodec::Depth::Indexed8));
  ASSERT_FALSE(reduced.isNull());
  EXPECT_EQ(reduced.pixel(0, 0), kBlue);
  EXPECT_EQ(reduced.pixel(5, 3), kRed);

  EXPECT_TRUE(PcxCodec::Encode(QImage(), PcxCodec::Depth::Indexed8).isEmpty());
}
