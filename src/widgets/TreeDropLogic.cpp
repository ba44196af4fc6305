#include "widgets/TreeDropLogic.h"

#include <QTreeWidgetItem>

namespace rix {

bool IsSameOrDescendant(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target) {
  for (const QTreeWidgetItem* p = target; p; p = p->parent())
    if (p == dragged) return true;
  return false;
}

DropPlace DecideDrop(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target, int rowTop,
                     int rowHeight, int y, bool copy) {
  if (!dragged || !target || IsSameOrDescendant(dragged, target)) return DropPlace::Refused;
  if (copy) return DropPlace::Child;
  const int offset = y - rowTop;
  if (offset < kDropEdge) return DropPlace::Before;
  if (offset >= rowHeight - kDropEdge) return DropPlace::After;
  return DropPlace::Child;
}

int AutoScrollDirection(int y, int viewHeight, int margin) {
  if (y < margin) return -1;
  if (y >= viewHeight - margin) return 1;
  return 0;
}

}  // namespace rix
