#include "widgets/PaneFocusFrame.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace rix {

namespace {

class FrameStyle : public QProxyStyle {
public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_FocusFrame_AboveWidget) return 1;
    if (hint == SH_FocusFrame_Mask && widget) {
      if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData)) {
        const QRect r = widget->rect();
        mask->region = QRegion(r) - QRegion(r.adjusted(2, 2, -2, -2));
        return 1;
      }
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) return 2;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_FocusFrame) {
      painter->fillRect(option->rect, option->palette.color(QPalette::Active, QPalette::Highlight));
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
};

}  // namespace

PaneFocusFrame::PaneFocusFrame(QWidget* parent) : QFocusFrame(parent) {
  auto* style = new FrameStyle;
  style->setParent(this);
  setStyle(style);
}

}  // namespace rix
