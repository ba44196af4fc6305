#pragma once

#include <QRegion>
#include <QScrollBar>
#include <QStyle>

namespace rix {

// A scroll bar that, when only its value changes, repaints where the slider
// was and where it is now (and the arrow buttons, whose look may follow the
// ends) instead of the whole bar, with a style whose groove does not depend
// on the value: paging through a long list moves the slider at every step,
// and the whole bar costs as much to draw as the page of the list. Where the
// slider stays on the same pixels and neither end is reached or left (a page
// of a long list is less than a pixel of the bar), nothing is repainted.
class GridScrollBar : public QScrollBar {
  Q_OBJECT

public:
  explicit GridScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
  bool event(QEvent* event) override;
  void sliderChange(SliderChange change) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  QRect part(QStyle::SubControl control) const;
  void fitOpacity();

  int ends() const;

  QRect painted_;        // the slider as last painted; empty: paint the whole bar next
  int paintedEnds_ = 0;  // ends() as last painted
};

}  // namespace rix
