#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace rix {

// Writes GIF pictures through giflib (Qt reads GIF but cannot write it).
class GifWriter {
public:
  // One picture of at most 2^bitsPerPixel colours (bitsPerPixel 1 to 8), its
  // palette quantized from the picture itself. Empty on failure, with
  // *error (when given) set to giflib's text for it.
  static QByteArray Encode(const QImage& image, int bitsPerPixel, QString* error = nullptr);
};

}  // namespace rix
