#pragma once

#include <QByteArray>
#include <QImage>

namespace rixtest {

// What a picture file's own header says about it, read without any picture
// library, so that the program's writers are checked by a reader of their own.
struct PictureHeader {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;     // over all channels: 24 for RGB, 8 for a 256-colour palette
  int compression = -1;     // TIFF's compression tag (1 is none)
  bool interlaced = false;  // PNG

  // False for bytes that are none of PNG, BMP, GIF, JPEG, TIFF and PCX.
  static bool Read(const QByteArray& bytes, PictureHeader* out);
};

// How many colours a picture shows: Qt reads GIF and other indexed files
// into 32-bit pictures, so this, not a colour table, tells the palette used.
int DistinctColours(const QImage& image);

}  // namespace rixtest
