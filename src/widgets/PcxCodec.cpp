#include "widgets/PcxCodec.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <vector>

namespace rix {

namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kVgaPaletteSize = 1 + 768;  // marker 0x0C, then 256 RGB triples
constexpr uchar kVgaPaletteMarker = 0x0C;
constexpr int kMaxRun = 63;

// The colours a 16-colour PCX means when its header carries no palette.
constexpr QRgb kEgaColours[16] = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
};

int Le16(const uchar* p) { return p[0] | (p[1] << 8); }

void PutLe16(QByteArray& out, int offset, int value) {
  out[offset] = char(value & 0xFF);
  out[offset + 1] = char((value >> 8) & 0xFF);
}

struct Header {
  int version = 0;
  bool rle = false;
  int bitsPerPixel = 0;
  int planes = 0;
  int bytesPerLine = 0;
  int width = 0;
  int height = 0;
  const uchar* palette16 = nullptr;  // 16 RGB triples

  bool indexed() const { return bitsPerPixel * planes <= 8; }
};

bool KnownLayout(int bitsPerPixel, int planes) {
  switch (bitsPerPixel) {
    case 1:
      return planes >= 1 && planes <= 4;
    case 2:
    case 4:
      return planes == 1;
    case 8:
      return planes == 1 || planes == 3 || planes == 4;
    default:
      return false;
  }
}

bool ReadHeader(const uchar* d, qsizetype size, Header& h) {
  if (size < kHeaderSize || d[0] != 0x0A || d[2] > 1) return false;
  h.version = d[1];
  h.rle = d[2] == 1;
  h.bitsPerPixel = d[3];
  h.planes = d[65];
  h.bytesPerLine = Le16(d + 66);
  h.width = Le16(d + 8) - Le16(d + 4) + 1;
  h.height = Le16(d + 10) - Le16(d + 6) + 1;
  h.palette16 = d + 16;
  if (!KnownLayout(h.bitsPerPixel, h.planes)) return false;
  if (h.width <= 0 || h.height <= 0) return false;
  if (h.width > PcxCodec::kMaxSide || h.height > PcxCodec::kMaxSide) return false;
  if (qint64(h.width) * h.height > PcxCodec::kMaxPixels) return false;
  const qint64 needed = (qint64(h.width) * h.bitsPerPixel + 7) / 8;
  return h.bytesPerLine >= needed;
}

// The colour table of a picture of up to 16 colours. Versions 0 and 3 are
// written without a palette, and an all-black palette is a writer that did not
// bother: both mean the standard colours (black and white for two).
QList<QRgb> SmallPalette(const Header& h) {
  const int count = 1 << (h.bitsPerPixel * h.planes);
  QList<QRgb> header(count);
  for (int i = 0; i < count; ++i) {
    const uchar* p = h.palette16 + 3 * i;
    header[i] = qRgb(p[0], p[1], p[2]);
  }
  const bool hasPalette = h.version != 0 && h.version != 3;
  if (count == 2) {
    if (hasPalette && header[0] != header[1]) return header;
    return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  }
  const bool allBlack = std::all_of(header.begin(), header.end(),
                                    [](QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) == 0; });
  if (hasPalette && !allBlack) return header;
  return QList<QRgb>(kEgaColours, kEgaColours + count);
}

// Unpacks exactly out.size() bytes; false when the data ends first.
// Runs may cross scan lines (some writers do that), so the planes are
// decoded as one stream.
bool Unpack(const uchar* in, qsizetype inSize, bool rle, std::vector<uchar>& out) {
  const size_t total = out.size();
  if (!rle) {
    if (size_t(inSize) < total) return false;
    std::memcpy(out.data(), in, total);
    return true;
  }
  size_t o = 0;
  qsizetype i = 0;
  while (o < total) {
    if (i >= inSize) return false;
    const uchar b = in[i++];
    if ((b & 0xC0) != 0xC0) {
      out[o++] = b;
      continue;
    }
    if (i >= inSize) return false;
    const uchar value = in[i++];
    const size_t n = std::min<size_t>(b & 0x3F, total - o);
    std::memset(out.data() + o, value, n);
    o += n;
  }
  return true;
}

QImage ToIndexed(const Header& h, const std::vector<uchar>& planes, QList<QRgb> colours) {
  QImage image(h.width, h.height, QImage::Format_Indexed8);
  if (image.isNull()) return {};
  image.setColorTable(colours);
  const size_t lineBytes = size_t(h.bytesPerLine) * h.planes;
  const int bpp = h.bitsPerPixel;
  const int mask = (1 << bpp) - 1;
  for (int y = 0; y < h.height; ++y) {
    const uchar* line = planes.data() + lineBytes * y;
    uchar* dst = image.scanLine(y);
    if (bpp == 8) {
      std::memcpy(dst, line, h.width);
    } else if (h.planes == 1) {
      for (int x = 0; x < h.width; ++x) {
        const int bit = x * bpp;
        dst[x] = uchar((line[bit >> 3] >> (8 - bpp - (bit & 7))) & mask);
      }
    } else {
      for (int x = 0; x < h.width; ++x) {
        int index = 0;
        for (int p = 0; p < h.planes; ++p) {
          const uchar byte = line[size_t(p) * h.bytesPerLine + (x >> 3)];
          index |= ((byte >> (7 - (x & 7))) & 1) << p;
        }
        dst[x] = uchar(index);
      }
    }
  }
  return image;
}

QImage ToRgb(const Header& h, const std::vector<uchar>& planes) {
  const size_t bpl = h.bytesPerLine;
  const size_t lineBytes = bpl * h.planes;
  // A fourth plane is alpha; an all-zero one is a writer's filler, not a
  // wholly transparent picture.
  bool alpha = false;
  if (h.planes == 4) {
    for (int y = 0; y < h.height && !alpha; ++y) {
      const uchar* a = planes.data() + lineBytes * y + 3 * bpl;
      alpha = std::any_of(a, a + h.width, [](uchar v) { return v != 0; });
    }
  }
  QImage image(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < h.height; ++y) {
    const uchar* r = planes.data() + lineBytes * y;
    const uchar* g = r + bpl;
    const uchar* b = g + bpl;
    const uchar* a = alpha ? b + bpl : nullptr;
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < h.width; ++x)
      dst[x] = a ? qRgba(r[x], g[x], b[x], a[x]) : qRgb(r[x], g[x], b[x]);
  }
  return image;
}

void PackRun(const uchar* src, int n, QByteArray& out) {
  int i = 0;
  while (i < n) {
    const uchar v = src[i];
    int run = 1;
    while (i + run < n && run < kMaxRun && src[i + run] == v) ++run;
    // A lone byte with both top bits set would read as a run count.
    if (run > 1 || (v & 0xC0) == 0xC0) out.append(char(0xC0 | run));
    out.append(char(v));
    i += run;
  }
}

QByteArray MakeHeader(const QImage& image, int planes, int bytesPerLine) {
  QByteArray header(kHeaderSize, '\0');
  header[0] = 0x0A;
  header[1] = 5;
  header[2] = 1;
  header[3] = 8;
  PutLe16(header, 8, image.width() - 1);
  PutLe16(header, 10, image.height() - 1);
  auto dpi = [](int dotsPerMeter) {
    const int d = qRound(dotsPerMeter * 0.0254);
    return d > 0 && d <= 0xFFFF ? d : 72;
  };
  PutLe16(header, 12, dpi(image.dotsPerMeterX()));
  PutLe16(header, 14, dpi(image.dotsPerMeterY()));
  header[65] = char(planes);
  PutLe16(header, 66, bytesPerLine);
  PutLe16(header, 68, 1);  // colour, not grey scale
  return header;
}

}  // namespace

QImage PcxCodec::Decode(const QByteArray& bytes) {
  return Decode(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
}

QImage PcxCodec::Decode(const uchar* data, qsizetype size) {
  Header h;
  if (!data || !ReadHeader(data, size, h)) return {};

  const uchar* in = data + kHeaderSize;
  qsizetype inSize = size - kHeaderSize;
  QList<QRgb> colours;
  if (h.bitsPerPixel == 8 && h.planes == 1) {
    if (inSize < kVgaPaletteSize || data[size - kVgaPaletteSize] != kVgaPaletteMarker) return {};
    const uchar* p = data + size - kVgaPaletteSize + 1;
    colours.resize(256);
    for (int i = 0; i < 256; ++i) colours[i] = qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    inSize -= kVgaPaletteSize;
  } else if (h.indexed()) {
    colours = SmallPalette(h);
  }

  const qint64 total = qint64(h.bytesPerLine) * h.planes * h.height;
  if (total > kMaxPixels * 4) return {};
  // Two bytes of RLE make at most 63 bytes: a file too short to hold the
  // picture it claims is refused before the buffer is allocated.
  const qint64 most = h.rle ? (qint64(inSize) + 1) / 2 * kMaxRun : inSize;
  if (total > most) return {};

  std::vector<uchar> planes(total);
  if (!Unpack(in, inSize, h.rle, planes)) return {};
  return h.indexed() ? ToIndexed(h, planes, colours) : ToRgb(h, planes);
}

QByteArray PcxCodec::Encode(const QImage& image, Depth depth) {
  if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF) return {};
  const int w = image.width();
  const int bytesPerLine = (w + 1) & ~1;  // scan lines are kept even
  std::vector<uchar> line(bytesPerLine, 0);

  if (depth == Depth::Rgb24) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray out = MakeHeader(rgb, 3, bytesPerLine);
    out.reserve(out.size() + qsizetype(rgb.height()) * bytesPerLine * 3 / 2);
    for (int y = 0; y < rgb.height(); ++y) {
      const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      for (int shift : {16, 8, 0}) {  // red, green, blue planes
        for (int x = 0; x < w; ++x) line[x] = uchar(src[x] >> shift);
        PackRun(line.data(), bytesPerLine, out);
      }
    }
    return out;
  }

  QImage indexed = image;
  if (indexed.format() != QImage::Format_Indexed8) {
    if (indexed.hasAlphaChannel()) indexed = indexed.convertToFormat(QImage::Format_RGB32);
    indexed = indexed.convertToFormat(QImage::Format_Indexed8);
  }
  if (indexed.isNull()) return {};
  QList<QRgb> colours = indexed.colorTable();
  colours.resize(256, qRgb(0, 0, 0));

  QByteArray out = MakeHeader(indexed, 1, bytesPerLine);
  for (int i = 0; i < 16; ++i) {
    out[16 + 3 * i] = char(qRed(colours[i]));
    out[17 + 3 * i] = char(qGreen(colours[i]));
    out[18 + 3 * i] = char(qBlue(colours[i]));
  }
  for (int y = 0; y < indexed.height(); ++y) {
    std::memcpy(line.data(), indexed.constScanLine(y), w);
    PackRun(line.data(), bytesPerLine, out);
  }
  out.append(char(kVgaPaletteMarker));
  for (QRgb c : colours) {
    out.append(char(qRed(c)));
    out.append(char(qGreen(c)));
    out.append(char(qBlue(c)));
  }
  return out;
}

}  // namespace rix
