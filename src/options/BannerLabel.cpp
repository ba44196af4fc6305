#include "options/BannerLabel.h"

#include <QPainter>

namespace rix {

BannerLabel::BannerLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  QFont big = font();
  big.setFamily(QStringLiteral("Arial"));
  big.setPixelSize(32);
  big.setBold(true);
  setFont(big);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize BannerLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(text_) + 8, metrics.height() + 6};
}

void BannerLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRect area = rect().adjusted(4, 2, -2, -2);
  const int flags = Qt::AlignLeft | Qt::AlignVCenter;
  // Shadow above-left and light below-right make the letters look sunken.
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawText(area.translated(-1, -1), flags, text_);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawText(area.translated(1, 1), flags, text_);
  painter.setPen(QColor(128, 128, 128));
  painter.drawText(area, flags, text_);
}

}  // namespace rix
