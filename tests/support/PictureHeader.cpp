#include "PictureHeader.h"

#include <QSet>
#include <cstdlib>

namespace rixtest {

namespace {

struct Bytes {
  const QByteArray& b;
  bool big = false;  // byte order of 16- and 32-bit fields
  bool has(qsizetype at, qsizetype n) const { return at >= 0 && at + n <= b.size(); }
  int u8(qsizetype at) const { return has(at, 1) ? static_cast<unsigned char>(b[at]) : 0; }
  int u16(qsizetype at) const {
    return big ? (u8(at) << 8) | u8(at + 1) : u8(at) | (u8(at + 1) << 8);
  }
  long u32(qsizetype at) const {
    return big ? (long(u16(at)) << 16) | u16(at + 2) : u16(at) | (long(u16(at + 2)) << 16);
  }
};

bool ReadPng(const Bytes& d, PictureHeader* h) {
  Bytes be{d.b, true};
  h->width = int(be.u32(16));
  h->height = int(be.u32(20));
  const int channels[] = {1, 0, 3, 1, 2, 0, 4};
  const int type = be.u8(25);
  h->bitsPerPixel = be.u8(24) * (type <= 6 ? channels[type] : 0);
  h->interlaced = be.u8(28) != 0;
  return true;
}

bool ReadJpeg(const Bytes& d, PictureHeader* h) {
  Bytes be{d.b, true};
  qsizetype at = 2;
  while (be.has(at, 4) && be.u8(at) == 0xFF) {
    const int marker = be.u8(at + 1);
    if (marker >= 0xC0 && marker <= 0xC2) {
      h->height = be.u16(at + 5);
      h->width = be.u16(at + 7);
      h->bitsPerPixel = be.u8(at + 4) * be.u8(at + 9);
      return true;
    }
    at += 2 + be.u16(at + 2);
  }
  return false;
}

bool ReadTiff(const Bytes& d, PictureHeader* h) {
  const long ifd = d.u32(4);
  const int entries = d.u16(ifd);
  int bitsPerSample = 0, samples = 1;
  for (int i = 0; i < entries; ++i) {
    const qsizetype e = ifd + 2 + 12 * i;
    const int tag = d.u16(e), type = d.u16(e + 2);
    const long count = d.u32(e + 4);
    const long value = type == 3 ? d.u16(e + 8) : d.u32(e + 8);
    if (tag == 256) h->width = int(value);
    if (tag == 257) h->height = int(value);
    if (tag == 259) h->compression = int(value);
    if (tag == 277) samples = int(value);
    if (tag == 258) bitsPerSample = count <= 2 ? int(value) : d.u16(d.u32(e + 8));
  }
  h->bitsPerPixel = bitsPerSample * samples;
  return entries > 0;
}

}  // namespace

bool PictureHeader::Read(const QByteArray& bytes, PictureHeader* h) {
  *h = PictureHeader();
  Bytes d{bytes};
  if (bytes.startsWith("\x89PNG\r\n\x1a\n")) return ReadPng(d, h);
  if (bytes.startsWith("BM")) {
    h->width = int(d.u32(18));
    h->height = std::abs(int(d.u32(22)));
    h->bitsPerPixel = d.u16(28);
    return true;
  }
  if (bytes.startsWith("GIF8")) {
    h->width = d.u16(6);
    h->height = d.u16(8);
    const int packed = d.u8(10);
    h->bitsPerPixel = (packed & 0x80) ? (packed & 7) + 1 : 0;
    return true;
  }
  if (bytes.startsWith("\xFF\xD8")) return ReadJpeg(d, h);
  if (bytes.startsWith("II*") || bytes.startsWith(QByteArray("MM\0*", 4))) {
    d.big = bytes[0] == 'M';
    return ReadTiff(d, h);
  }
  if (d.u8(0) == 0x0A && bytes.size() >= 128) {
    h->width = d.u16(8) - d.u16(4) + 1;
    h->height = d.u16(10) - d.u16(6) + 1;
    h->bitsPerPixel = d.u8(3) * d.u8(65);
    return true;
  }
  return false;
}

int DistinctColours(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QSet<QRgb> colours;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) colours.insert(rgb.pixel(x, y));
  return int(colours.size());
}

}  // namespace rixtest
