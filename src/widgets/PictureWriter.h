#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "widgets/PictureFile.h"

namespace rix {

// Writes a picture in one of the six formats: PNG, JPEG, BMP and TIFF
// through Qt's image writers, GIF through giflib, PCX with the program's own
// encoder. PNG is never interlaced and JPEG never smoothed: Qt's writers do
// neither.
class PictureWriter {
public:
  struct Options {
    int bitsPerPixel = 24;  // 4, 8 or 24; GIF takes at most 8, JPEG always 24
    int jpegQuality = 80;
    bool tiffCompressed = false;
  };

  // Bits per pixel of a picture written "at the screen's depth": 4 for a
  // screen of 4 bits or fewer, 8 for 5 to 15, 24 for 16 or more.
  static int ScreenBitsPerPixel(int screenDepth);

  // The file's bytes; empty on failure, with *error set to the writer's text.
  static QByteArray Encode(const QImage& image, PictureFile::Type type, const Options& options,
                           QString* error = nullptr);

  // Encodes and replaces the file through a temporary file renamed over it,
  // so that a failure leaves no half-written picture and keeps the old one.
  static bool Write(const QString& nativePath, const QImage& image, PictureFile::Type type,
                    const Options& options, QString* error = nullptr);
};

}  // namespace rix
