#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "widgets/PcxCodec.h"

// Decodes arbitrary bytes; whatever decodes must survive a trip through
// the encoder unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QImage image = rix::PcxCodec::Decode(data, qsizetype(size));
  if (image.isNull() || qint64(image.width()) * image.height() > 65536) return 0;

  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const QImage back =
      rix::PcxCodec::Decode(rix::PcxCodec::Encode(image, rix::PcxCodec::Depth::Rgb24));
  if (back != rgb) std::abort();

  if (image.format() == QImage::Format_Indexed8) {
    const QImage indexed =
        rix::PcxCodec::Decode(rix::PcxCodec::Encode(image, rix::PcxCodec::Depth::Indexed8));
    if (indexed.convertToFormat(QImage::Format_RGB32) != rgb) std::abort();
  }
  return 0;
}
