#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>

// The banner's endless ribbon: column k of the area shows image column
// (pos + k) mod width (rows likewise when it runs vertically), so an offset
// past either end of the image continues the ribbon seamlessly. f(source,
// target) is called for each piece in order: the rectangle of the image and
// the top-left corner in the area's coordinates it goes to.
template <class F>
void ForEachRibbonPiece(const QRect& area, const QSize& image, int pos, bool horizontal, F&& f) {
  const int period = horizontal ? image.width() : image.height();
  if (period <= 0 || area.width() <= 0 || area.height() <= 0) return;
  const int start = ((pos % period) + period) % period;
  if (horizontal) {
    const int h = std::min(area.height(), image.height());
    const int right = area.left() + area.width();
    for (int x = area.left(), src = start; x < right; src = 0) {
      const int w = std::min(right - x, period - src);
      f(QRect(src, 0, w, h), QPoint(x, area.top()));
      x += w;
    }
  } else {
    const int w = std::min(area.width(), image.width());
    const int bottom = area.top() + area.height();
    for (int y = area.top(), src = start; y < bottom; src = 0) {
      const int h = std::min(bottom - y, period - src);
      f(QRect(0, src, w, h), QPoint(area.left(), y));
      y += h;
    }
  }
}
