#include "games/PictureCaption.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/AppPaths.h"

namespace rix {

PictureFile::Type PictureCaption::OutputType(const QString& pictureName) {
  using Type = PictureFile::Type;
  const QString file = FileNamePart(pictureName);
  const qsizetype dot = file.lastIndexOf(u'.');
  if (dot < 0) return Type::Unknown;
  const QString ext = file.mid(dot);
  static const std::pair<const char*, Type> kTable[] = {
      {".PNG", Type::Png},  {".PCX", Type::Pcx}, {".GIF", Type::Gif},
      {".JPG", Type::Jpeg}, {".BMP", Type::Bmp}, {".TIF", Type::Tiff},
  };
  for (const auto& [name, type] : kTable)
    if (EqualsIgnoringAsciiCase(ext, QLatin1String(name))) return type;
  return Type::Unknown;
}

QFont PictureCaption::Font(qreal dotsPerInch) {
  QFont font(QStringLiteral("Fixedsys"));
  font.setPixelSize(std::max(1, int(std::lround(12 * dotsPerInch / 72))));
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

PictureCaption::PictureCaption(const QString& text, const QFont& font) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  const QRect ink = metrics.boundingRect(text);
  // Room for the glyphs' ink wherever it reaches right of and below the
  // origin, plus the outline's two pixels.
  const int width = std::max(metrics.horizontalAdvance(text), ink.right() + 1) + 3;
  const int height = metrics.ascent() + std::max(metrics.descent(), ink.bottom() + 1) + 3;
  stamp_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
  if (stamp_.isNull()) return;
  stamp_.fill(Qt::transparent);
  QPainter p(&stamp_);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setFont(font);
  p.setBackgroundMode(Qt::TransparentMode);
  auto draw = [&](int x, int y) { p.drawText(QPoint(x, y + metrics.ascent()), text); };
  p.setPen(QColor(255, 255, 255));
  for (int y = 0; y <= 2; ++y)
    for (int x = 0; x <= 2; ++x)
      if (x != 1 || y != 1) draw(x, y);
  p.setPen(QColor(0, 0, 255));
  draw(1, 1);
}

QImage PictureCaption::draw(const QImage& picture) const {
  QImage out;
  if (picture.hasAlphaChannel()) {
    out = QImage(picture.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter under(&out);
    under.drawImage(0, 0, picture);
  } else {
    out = picture.convertToFormat(QImage::Format_RGB32);
  }
  if (out.isNull() || stamp_.isNull()) return out;
  QPainter p(&out);
  p.drawImage(0, 0, stamp_);
  return out;
}

}  // namespace rix
