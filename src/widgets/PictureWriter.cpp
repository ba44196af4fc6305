#include "widgets/PictureWriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>

#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/ColourQuantizer.h"
#include "widgets/GifWriter.h"
#include "widgets/PcxCodec.h"

namespace rix {

namespace {

// The picture as a writer gets it: without alpha, at the depth asked.
QImage AtDepth(const QImage& image, int bitsPerPixel) {
  if (bitsPerPixel <= 8) return ColourQuantizer::Quantize(image, bitsPerPixel <= 4 ? 16 : 256);
  return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray EncodeWithQt(const QImage& image, const char* format, int bitsPerPixel,
                        const PictureWriter::Options& o, QString* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (qstrcmp(format, "jpeg") == 0) {
    writer.setQuality(o.jpegQuality);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
  } else if (qstrcmp(format, "tiff") == 0) {
    writer.setCompression(o.tiffCompressed ? 1 : 0);
  }
  if (!writer.write(AtDepth(image, bitsPerPixel))) {
    if (error) *error = writer.errorString();
    return {};
  }
  return bytes;
}

QByteArray EncodePcx(const QImage& image, int bitsPerPixel, QString* error) {
  const QByteArray bytes =
      bitsPerPixel <= 8 ? PcxCodec::Encode(AtDepth(image, bitsPerPixel), PcxCodec::Depth::Indexed8)
                        : PcxCodec::Encode(image, PcxCodec::Depth::Rgb24);
  if (bytes.isEmpty() && error) *error = QStringLiteral("The picture is too large for PCX");
  return bytes;
}

}  // namespace

int PictureWriter::ScreenBitsPerPixel(int screenDepth) {
  if (screenDepth <= 4) return 4;
  if (screenDepth <= 15) return 8;
  return 24;
}

QByteArray PictureWriter::Encode(const QImage& image, PictureFile::Type type,
                                 const Options& options, QString* error) {
  using Type = PictureFile::Type;
  if (image.isNull()) {
    if (error) *error = QStringLiteral("There is no picture to write");
    return {};
  }
  const int bits = options.bitsPerPixel;
  switch (type) {
    case Type::Png:
      return EncodeWithQt(image, "png", bits, options, error);
    case Type::Jpeg:
      return EncodeWithQt(image, "jpeg", 24, options, error);
    case Type::Bmp:
      return EncodeWithQt(image, "bmp", bits, options, error);
    case Type::Tiff:
      return EncodeWithQt(image, "tiff", bits, options, error);
    case Type::Gif:
      return GifWriter::Encode(image, std::min(bits, 8), error);
    case Type::Pcx:
      return EncodePcx(image, bits, error);
    case Type::Unknown:
      break;
  }
  if (error) *error = QStringLiteral("Unknown picture format");
  return {};
}

bool PictureWriter::Write(const QString& nativePath, const QImage& image, PictureFile::Type type,
                          const Options& options, QString* error) {
  const QByteArray bytes = Encode(image, type, options, error);
  if (bytes.isEmpty()) return false;
  try {
    WriteFileAtomic(nativePath, bytes);
  } catch (const FileError& e) {
    if (error) *error = e.text();
    return false;
  }
  return true;
}

}  // namespace rix
