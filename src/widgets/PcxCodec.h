#pragma once

#include <QByteArray>
#include <QImage>

namespace rix {

// Reads and writes ZSoft PCX pictures; Qt has no image plugin for them.
//
// Decoding accepts 1, 2, 4 and 8 bits per pixel in the usual plane layouts
// (1 bit x 1..4 planes, 2 or 4 bits x 1 plane, 8 bits x 1 plane with the
// 256-colour palette at the end, 8 bits x 3 or 4 planes for RGB(A)), RLE or
// uncompressed. A file that ends before its last scan line, an 8-bit file
// without its closing palette and any header that does not describe a
// plausible picture are failures: the result is then a null QImage.
class PcxCodec {
public:
  enum class Depth {
    Indexed8,  // one 8-bit plane and a 256-colour palette after the data
    Rgb24,     // three 8-bit planes, red, green and blue per scan line
  };

  // Pictures are refused beyond these bounds, before anything is allocated.
  static constexpr int kMaxSide = 32768;
  static constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;  // 256 MB as 32-bit pixels

  // Indexed pictures come back as Format_Indexed8 with their colour table,
  // RGB pictures as Format_RGB32 (ARGB32 when a fourth plane carries alpha).
  static QImage Decode(const QByteArray& bytes);
  static QImage Decode(const uchar* data, qsizetype size);

  // Empty on failure (a null picture or sides beyond 65535). Indexed8 keeps
  // an indexed picture's own colour table and reduces any other to 256 colours.
  static QByteArray Encode(const QImage& image, Depth depth);
};

}  // namespace rix
