#include "widgets/GripSplitter.h"

#include <QPainter>
#include <QSplitterHandle>

namespace rix {

namespace {

class GripHandle : public QSplitterHandle {
public:
  using QSplitterHandle::QSplitterHandle;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = rect();
    const QPalette& pal = palette();
    p.fillRect(r, pal.button());
    const bool across = orientation() == Qt::Horizontal;  // the handle stands upright
    // Light on the leading edge, dark on the trailing one, as a raised bar.
    p.setPen(pal.light().color());
    across ? p.drawLine(r.topLeft(), r.bottomLeft()) : p.drawLine(r.topLeft(), r.topRight());
    p.setPen(pal.dark().color());
    across ? p.drawLine(r.topRight(), r.bottomRight())
           : p.drawLine(r.bottomLeft(), r.bottomRight());
    // Five dots in the middle say that it can be dragged.
    const QPoint c = r.center();
    for (int i = -2; i <= 2; ++i) {
      const QPoint d = across ? QPoint(c.x(), c.y() + i * 4) : QPoint(c.x() + i * 4, c.y());
      p.fillRect(QRect(d, QSize(2, 2)), pal.dark());
    }
  }
};

}  // namespace

GripSplitter::GripSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {}

QSplitterHandle* GripSplitter::createHandle() { return new GripHandle(orientation(), this); }

}  // namespace rix
