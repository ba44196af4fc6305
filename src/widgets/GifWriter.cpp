#include "widgets/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <vector>

#include "widgets/ColourQuantizer.h"

namespace rix {

namespace {

int Append(GifFileType* gif, const GifByteType* data, int size) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
  return size;
}

QString TextOf(int code) {
  const char* text = GifErrorString(code);
  return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

// The colour map giflib wants: a power of two entries, at least two.
ColorMapObject* MakeColourMap(const QList<QRgb>& colours) {
  int size = 2;
  while (size < colours.size()) size *= 2;
  ColorMapObject* map = GifMakeMapObject(size, nullptr);
  if (!map) return nullptr;
  for (int i = 0; i < size; ++i) {
    const QRgb c = i < colours.size() ? colours[i] : qRgb(0, 0, 0);
    map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
  }
  return map;
}

}  // namespace

QByteArray GifWriter::Encode(const QImage& image, int bitsPerPixel, QString* error) {
  auto fail = [error](int code) {
    if (error) *error = TextOf(code);
    return QByteArray();
  };
  if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
    return fail(E_GIF_ERR_DATA_TOO_BIG);
  const QImage indexed = ColourQuantizer::Quantize(image, 1 << std::clamp(bitsPerPixel, 1, 8));
  if (indexed.isNull()) return fail(E_GIF_ERR_NOT_ENOUGH_MEM);
  ColorMapObject* map = MakeColourMap(indexed.colorTable());
  if (!map) return fail(E_GIF_ERR_NOT_ENOUGH_MEM);

  QByteArray out;
  out.reserve(qsizetype(indexed.width()) * indexed.height() / 2 + 1024);
  int code = E_GIF_SUCCEEDED;
  GifFileType* gif = EGifOpen(&out, Append, &code);
  if (!gif) {
    GifFreeMapObject(map);
    return fail(code);
  }
  const int w = indexed.width();
  bool ok = EGifPutScreenDesc(gif, w, indexed.height(), map->BitsPerPixel, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, w, indexed.height(), false, nullptr) == GIF_OK;
  // giflib takes the scan line as writable.
  std::vector<GifPixelType> line(static_cast<size_t>(w));
  for (int y = 0; ok && y < indexed.height(); ++y) {
    std::copy_n(indexed.constScanLine(y), w, line.data());
    ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
  }
  if (!ok) code = gif->Error;
  int closeCode = E_GIF_SUCCEEDED;
  if (EGifCloseFile(gif, &closeCode) != GIF_OK && ok) {
    ok = false;
    code = closeCode;
  }
  GifFreeMapObject(map);
  if (!ok) return fail(code);
  return out;
}

}  // namespace rix
