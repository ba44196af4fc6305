#pragma once

class QTreeWidgetItem;

namespace rix {

// Where a dragged node goes relative to the node under the pointer.
enum class DropPlace { Refused, Before, After, Child };

// Pixels at the top and bottom of a row that mean "before" and "after".
inline constexpr int kDropEdge = 4;

// True when target is dragged itself or lies inside dragged's subtree.
bool IsSameOrDescendant(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target);

// The place for a drop of dragged on target, whose row starts at rowTop and is
// rowHeight pixels high, with the pointer at height y. A copy always goes in
// as the last child. No target, or a target inside the dragged subtree, refuses.
DropPlace DecideDrop(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target, int rowTop,
                     int rowHeight, int y, bool copy);

// -1 to scroll up, +1 to scroll down, 0 to stay, for a pointer at height y in a
// view of the given height: the view scrolls while the pointer is near an edge.
int AutoScrollDirection(int y, int viewHeight, int margin);

}  // namespace rix
