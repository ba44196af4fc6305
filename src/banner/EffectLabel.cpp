#include "banner/EffectLabel.h"

#include <QPainter>
#include <algorithm>

namespace rix {

EffectLabel::EffectLabel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(false);
  UseGoldScheme();
}

void EffectLabel::SetCaption(const QString& value) {
  caption_ = value;
  update();
}

void EffectLabel::SetFaceColor(const QColor& value) {
  face_ = value;
  update();
}

void EffectLabel::SetHighlightColor(const QColor& value) {
  highlight_ = value;
  update();
}

void EffectLabel::SetShadowColor(const QColor& value) {
  shadow_ = value;
  update();
}

void EffectLabel::SetDepth(int value) {
  depth_ = std::max(0, value);
  update();
}

void EffectLabel::UseGoldScheme() {
  highlight_ = QColor(255, 236, 139);
  shadow_ = QColor(92, 64, 0);
  update();
}

void EffectLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(font());
  const QRect r = rect().adjusted(1, 1, -1, -1);
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  // The extrusion fades from the shadow towards black as it goes deeper.
  for (int d = depth_; d >= 1; --d) {
    p.setPen(shadow_.darker(100 + 25 * (d - 1)));
    p.drawText(r.translated(d, d), flags, caption_);
  }
  p.setPen(highlight_);
  p.drawText(r.translated(-1, -1), flags, caption_);
  p.setPen(face_);
  p.drawText(r, flags, caption_);
}

}  // namespace rix
