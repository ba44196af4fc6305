#pragma once

#include <QImage>

namespace rix {

// Reduces a picture to a palette of its own for the indexed writers (GIF,
// and PNG, BMP, TIFF and PCX on screens of 256 colours or fewer).
//
// A picture with no more colours than allowed keeps them exactly. Otherwise
// the colours are cut by the median (on a 5-bit-per-channel histogram) into
// as many boxes as allowed, each box becoming the mean of its pixels. No
// dithering: captions and line art stay crisp. Alpha is dropped.
class ColourQuantizer {
public:
  // Format_Indexed8 with at most maxColours (1..256) entries in its colour
  // table; null for a null picture.
  static QImage Quantize(const QImage& image, int maxColours);
};

}  // namespace rix
