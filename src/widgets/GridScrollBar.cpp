#include "widgets/GridScrollBar.h"

#include <QEvent>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionSlider>

namespace rix {

namespace {

constexpr int kMargin = 3;

// Styles known to draw the groove the same wherever the slider stands (not
// true of styles that draw the two page areas apart).
bool GrooveIgnoresValue(const QStyle* style) {
  while (const auto* proxy = qobject_cast<const QProxyStyle*>(style)) {
    if (!proxy->baseStyle() || proxy->baseStyle() == style) break;
    style = proxy->baseStyle();
  }
  return style && style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

}  // namespace

GridScrollBar::GridScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
  fitOpacity();
}

void GridScrollBar::fitOpacity() {
  // Such a style also covers every pixel of the bar, so the widgets under
  // it need not be painted first wherever it repaints.
  setAttribute(Qt::WA_OpaquePaintEvent, GrooveIgnoresValue(style()));
}

QRect GridScrollBar::part(QStyle::SubControl control) const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  return style()->subControlRect(QStyle::CC_ScrollBar, &opt, control, this);
}

// Which ends the value stands at, as bits.
int GridScrollBar::ends() const {
  return (value() == minimum() ? 1 : 0) | (value() == maximum() ? 2 : 0);
}

void GridScrollBar::sliderChange(SliderChange change) {
  if (change != SliderValueChange || painted_.isEmpty() || !GrooveIgnoresValue(style())) {
    painted_ = QRect();
    QScrollBar::sliderChange(change);
    return;
  }
  const QRect slider = part(QStyle::SC_ScrollBarSlider);
  // What is on screen, or already asked for, shows the bar as it is now.
  if (slider == painted_ && ends() == paintedEnds_) return;
  // The style draws the slider's outline a little past its rectangle.
  QRegion dirty(painted_.adjusted(-kMargin, -kMargin, kMargin, kMargin));
  dirty += slider.adjusted(-kMargin, -kMargin, kMargin, kMargin);
  dirty += part(QStyle::SC_ScrollBarSubLine);
  dirty += part(QStyle::SC_ScrollBarAddLine);
  update(dirty);
}

void GridScrollBar::paintEvent(QPaintEvent* event) {
  QScrollBar::paintEvent(event);
  painted_ = part(QStyle::SC_ScrollBarSlider);
  paintedEnds_ = ends();
}

bool GridScrollBar::event(QEvent* event) {
  const bool done = QScrollBar::event(event);
  // The style's polish clears the attribute.
  if (event->type() == QEvent::Polish) fitOpacity();
  return done;
}

void GridScrollBar::changeEvent(QEvent* event) {
  painted_ = QRect();
  if (event->type() == QEvent::StyleChange) fitOpacity();
  QScrollBar::changeEvent(event);
}

void GridScrollBar::resizeEvent(QResizeEvent* event) {
  painted_ = QRect();
  QScrollBar::resizeEvent(event);
}

}  // namespace rix
