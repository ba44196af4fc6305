#include "options/PadPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace rix {

QPixmap PadPicture() {
  QPixmap picture(kPadPictureWidth, kPadPictureHeight);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);

  // Body: two round grips joined by a bar.
  QPainterPath body;
  body.addEllipse(QRectF(1, 1, 44, 44));
  body.addEllipse(QRectF(64, 1, 44, 44));
  body.addRect(QRectF(22, 3, 65, 38));
  body.setFillRule(Qt::WindingFill);
  p.setPen(QPen(QColor(90, 90, 100), 1));
  p.setBrush(QColor(200, 200, 210));
  p.drawPath(body.simplified());

  // L and R shoulders.
  p.setBrush(QColor(160, 160, 170));
  p.drawRoundedRect(QRectF(10, 0.5, 20, 4), 2, 2);
  p.drawRoundedRect(QRectF(79, 0.5, 20, 4), 2, 2);

  // Cross.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(50, 50, 55));
  p.drawRect(QRectF(18, 12, 8, 22));
  p.drawRect(QRectF(11, 19, 22, 8));

  // Select and start.
  p.setBrush(QColor(110, 110, 120));
  p.drawRoundedRect(QRectF(42, 26, 10, 4), 2, 2);
  p.drawRoundedRect(QRectF(56, 26, 10, 4), 2, 2);

  // Face buttons: X top, A right, B bottom, Y left.
  const struct {
    qreal x, y;
    QColor color;
  } buttons[] = {{86, 10, QColor(40, 70, 200)},
                 {95, 19, QColor(200, 40, 40)},
                 {86, 28, QColor(230, 190, 30)},
                 {77, 19, QColor(40, 160, 60)}};
  p.setPen(QPen(QColor(60, 60, 60), 0.8));
  for (const auto& b : buttons) {
    p.setBrush(b.color);
    p.drawEllipse(QRectF(b.x - 4.5, b.y - 4.5 + 4, 9, 9));
  }
  p.end();
  return picture;
}

}  // namespace rix
