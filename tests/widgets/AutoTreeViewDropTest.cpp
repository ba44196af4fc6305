#include <gtest/gtest.h>

#include <QTreeWidgetItem>
#include <memory>

#include "widgets/TreeDropLogic.h"

namespace {

using rix::DecideDrop;
using rix::DropPlace;

TEST(TreeDropLogic, PlaceFollowsPointerHeightInRow) {
  QTreeWidgetItem a, b;
  // Row from y = 20, 20 pixels high: 4 pixels at each edge mean before / after.
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 20, false), DropPlace::Before);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 23, false), DropPlace::Before);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 24, false), DropPlace::Child);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 35, false), DropPlace::Child);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 36, false), DropPlace::After);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 39, false), DropPlace::After);
  // A copy always becomes the last child, wherever the pointer is in the row.
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 21, true), DropPlace::Child);
  EXPECT_EQ(DecideDrop(&a, &b, 20, 20, 38, true), DropPlace::Child);
}

TEST(TreeDropLogic, NoDropOnItselfOrItsSubtree) {
  auto root = std::make_unique<QTreeWidgetItem>();
  auto* child = new QTreeWidgetItem(root.get());
  auto* grandchild = new QTreeWidgetItem(child);
  for (bool copy : {false, true}) {
    for (int y : {0, 8, 15}) {
      EXPECT_EQ(DecideDrop(root.get(), root.get(), 0, 16, y, copy), DropPlace::Refused);
      EXPECT_EQ(DecideDrop(root.get(), child, 0, 16, y, copy), DropPlace::Refused);
      EXPECT_EQ(DecideDrop(root.get(), grandchild, 0, 16, y, copy), DropPlace::Refused);
    }
    EXPECT_EQ(DecideDrop(root.get(), nullptr, 0, 16, 8, copy), DropPlace::Refused);
    EXPECT_EQ(DecideDrop(nullptr, child, 0, 16, 8, copy), DropPlace::Refused);
  }
  // Upwards is fine: a node may go onto its parent or grandparent.
  EXPECT_EQ(DecideDrop(grandchild, root.get(), 0, 16, 8, false), DropPlace::Child);
  EXPECT_EQ(DecideDrop(grandchild, child, 0, 16, 1, false), DropPlace::Before);
  EXPECT_FALSE(rix::IsSameOrDescendant(grandchild, root.get()));
  EXPECT_TRUE(rix::IsSameOrDescendant(root.get(), grandchild));
}

TEST(TreeDropLogic, ScrollsOnlyNearTheEdges) {
  EXPECT_EQ(rix::AutoScrollDirection(0, 200, 16), -1);
  EXPECT_EQ(rix::AutoScrollDirection(15, 200, 16), -1);
  EXPECT_EQ(rix::AutoScrollDirection(16, 200, 16), 0);
  EXPECT_EQ(rix::AutoScrollDirection(183, 200, 16), 0);
  EXPECT_EQ(rix::AutoScrollDirection(184, 200, 16), 1);
  EXPECT_EQ(rix::AutoScrollDirection(-5, 200, 16), -1);
}

}  // namespace
