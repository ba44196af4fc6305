#include "app/CaptionBar.h"

#include <QEvent>
#include <QPainter>

namespace rix {

CaptionBar::CaptionBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MSOfficeCaption1"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CaptionBar::sizeHint() const { return {200, 20}; }

void CaptionBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) update();
  QWidget::changeEvent(event);
}

void CaptionBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool active = window()->isActiveWindow();
  const QPalette::ColorGroup group = active ? QPalette::Active : QPalette::Inactive;
  const QColor end = palette().color(group, QPalette::Highlight);
  const int w = width();
  for (int i = 0; i < 64; ++i) {
    const int x0 = w * i / 64;
    const int x1 = w * (i + 1) / 64;
    const QColor c(end.red() * i / 63, end.green() * i / 63, end.blue() * i / 63);
    p.fillRect(x0, 0, x1 - x0, height(), c);
  }
  p.setPen(Qt::white);
  int x = 6;
  auto draw = [&](const QString& text, const QFont& f) {
    p.setFont(f);
    const QFontMetrics fm(f);
    p.drawText(x, (height() + fm.ascent() - fm.descent()) / 2, text);
    x += fm.horizontalAdvance(text) + fm.horizontalAdvance(u' ');
  };
  QFont company(QStringLiteral("新細明體"));
  company.setPixelSize(12);
  company.setBold(true);
  draw(QStringLiteral("RIX"), company);
  QFont app = font();
  app.setBold(true);
  draw(QStringLiteral("FrontEnd"), app);
  draw(QStringLiteral("v0.8"), font());
}

}  // namespace rix
