#include "banner/AboutArtwork.h"

#include "widgets/PictureFile.h"

// Resources compiled into a static library are linked in only when named.
static void InitAboutArtwork() { Q_INIT_RESOURCE(AboutArtwork); }

namespace rix {

QImage AboutArtwork() {
  InitAboutArtwork();
  return PictureFile::ReadAs(QStringLiteral(":/banner/AboutArtwork.bmp"), "bmp");
}

}  // namespace rix
