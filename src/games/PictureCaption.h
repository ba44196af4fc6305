#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "widgets/PictureFile.h"

namespace rix {

// The caption tool's rules: which format a captioned copy is written in and
// how the caption is drawn. The caption is rendered once, then laid onto
// each picture.
class PictureCaption {
public:
  PictureCaption(const QString& text, const QFont& font);

  // By the picture name's extension in upper case: .PNG, .PCX, .GIF, .JPG,
  // .BMP and .TIF name their formats; anything else (.jpeg and .tiff among
  // them) is Unknown, and nothing is written.
  static PictureFile::Type OutputType(const QString& pictureName);

  // The fixed-pitch system face, 12 points at the screen's resolution, drawn
  // without smoothing as that bitmap face is.
  static QFont Font(qreal dotsPerInch);

  // The picture as a 32-bit bitmap (see-through parts on white) with the
  // text in blue, its top left corner at (1, 1), outlined one pixel wide in
  // white: the white text is drawn first at the eight places around (1, 1).
  QImage draw(const QImage& picture) const;

private:
  // Blue text outlined in white on a clear ground; unsmoothed, so every
  // pixel is either wholly painted or wholly clear.
  QImage stamp_;
};

}  // namespace rix
