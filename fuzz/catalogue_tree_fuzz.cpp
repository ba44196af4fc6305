#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "catalogue/TreeFile.h"

namespace {

int Depth(const rix::TreeNodeList& nodes, size_t i) {
  int d = 0;
  for (int p = nodes[i].parent; p >= 0; p = nodes[p].parent) ++d;
  return d;
}

// Writes the nodes back as a tree file that reads as the same nodes.
QByteArray Write(const rix::TreeNodeList& nodes) {
  QByteArray out;
  for (size_t i = 0; i < nodes.size(); ++i) {
    out += QByteArray(Depth(nodes, i), '\t') + nodes[i].caption;
    if (nodes[i].key != -1) out += ',' + QByteArray::number(nodes[i].key);
    out += "\r\n";
  }
  return out;
}

}  // namespace

// Parses arbitrary bytes: every parent comes earlier, no node is more than
// one level below the one before, and writing the nodes out and reading them
// again gives the same tree.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const rix::TreeFileResult r = rix::ParseTreeFile(bytes);
  const rix::TreeNodeList& nodes = r.nodes;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const rix::TreeNodeRecord& n = nodes[i];
    if (n.parent < -1 || n.parent >= int(i)) std::abort();
    if (i == 0 && n.parent != -1) std::abort();
    if (i > 0 && Depth(nodes, i) > Depth(nodes, i - 1) + 1) std::abort();
    if (n.caption.contains('\r') || n.caption.contains('\n') || n.caption.contains('\0'))
      std::abort();
    if (n.caption.startsWith('\t') || n.caption.startsWith(' ')) std::abort();
  }
  if (r.ok() != r.error.isEmpty()) std::abort();

  const rix::TreeFileResult again = rix::ParseTreeFile(Write(nodes));
  if (!again.ok() || again.nodes.size() != nodes.size()) std::abort();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (again.nodes[i].caption != nodes[i].caption || again.nodes[i].key != nodes[i].key ||
        again.nodes[i].parent != nodes[i].parent)
      std::abort();
  }
  return 0;
}
