#pragma once

#include <QByteArray>
#include <vector>

namespace rix {

// One node of a tree as read from a file, in reading order. The parent is an
// index into the same list (always an earlier entry) or -1 for the top level.
struct TreeNodeRecord {
  QByteArray caption;  // Big5 bytes as stored
  int key = -1;        // -1: no key
  int parent = -1;
};

using TreeNodeList = std::vector<TreeNodeRecord>;

}  // namespace rix
