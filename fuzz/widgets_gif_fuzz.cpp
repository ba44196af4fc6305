// Small pictures made from the bytes go through the GIF writer and back
// through Qt's reader: no crash, the same size, a palette the depth allows,
// and the very pixels when the picture has no more colours than that.

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "widgets/GifWriter.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Qt's GIF reader is a plug-in, found through the application.
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int w = 1 + data[0] % 40;
  const int h = 1 + data[1] % 40;
  const int bits = 1 + data[2] % 8;
  // A byte narrows the colours, so that both the exact palette and the
  // median cut are taken.
  const int mask = data[3];
  const uint8_t* px = data + 4;
  const size_t n = size - 4;
  QImage picture(w, h, QImage::Format_RGB32);
  std::vector<QRgb> colours;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y * w + x) * 3;
      auto at = [&](size_t k) { return n ? int(px[(i + k) % n] & mask) : 0; };
      const QRgb c = qRgb(at(0), at(1), at(2));
      picture.setPixel(x, y, c);
      colours.push_back(c);
    }
  std::sort(colours.begin(), colours.end());
  const size_t distinct = size_t(std::unique(colours.begin(), colours.end()) - colours.begin());

  const QByteArray gif = rix::GifWriter::Encode(picture, bits);
  if (gif.isEmpty()) std::abort();
  const QImage back = QImage::fromData(gif, "GIF");
  if (back.size() != picture.size()) std::abort();
  // Qt reads GIF into 32-bit pictures: the colours shown tell the palette.
  const QImage shown = back.convertToFormat(QImage::Format_RGB32);
  std::vector<QRgb> seen;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) seen.push_back(shown.pixel(x, y));
  std::sort(seen.begin(), seen.end());
  if (std::unique(seen.begin(), seen.end()) - seen.begin() > (1 << bits)) std::abort();
  if (distinct <= (size_t(1) << bits) && shown != picture) std::abort();
  return 0;
}
