// Writes the about window's stored bitmap from its drawing:
//   QT_QPA_PLATFORM=offscreen build/src/banner/about_artwork_gen src/banner/AboutArtwork.bmp
// Run it after changing the drawing, and commit the bitmap.
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

#include "banner/AboutArtworkDrawing.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.bmp>\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  // Sixteen colours are written as a 4-bit bitmap.
  QImageWriter writer(QString::fromLocal8Bit(argv[1]), "bmp");
  if (!writer.write(rix::DrawAboutArtwork())) {
    std::fprintf(stderr, "%s: %s\n", argv[1], writer.errorString().toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
