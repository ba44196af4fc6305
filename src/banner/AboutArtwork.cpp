#include "banner/AboutArtwork.h"

// Resources compiled into a static library are linked in only when named.
static void InitAboutArtwork() { Q_INIT_RESOURCE(AboutArtwork); }

namespace rix {

QImage AboutArtwork() {
  InitAboutArtwork();
  return QImage(QStringLiteral(":/banner/AboutArtwork.bmp"), "BMP");
}

}  // namespace rix
