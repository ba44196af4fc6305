#include "catalogue/TreeFile.h"

#include <limits>

#include "platform/Big5.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/AutoTreeView.h"

namespace rix {

namespace {

// Syntax of a whole number: blanks, an optional sign, at least one digit and
// nothing else. Sets *value, or -1 when the number does not fit an int.
bool ReadWholeNumber(QByteArrayView text, int* value) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= n) return false;
  long long v = 0;
  bool fits = true;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    if (fits) {
      v = v * 10 + (c - '0');
      if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) fits = false;
    }
  }
  if (negative) v = -v;
  if (!fits || v > std::numeric_limits<int>::max()) {
    *value = -1;
  } else {
    *value = static_cast<int>(v);
  }
  return true;
}

}  // namespace

TreeLine ParseTreeLine(QByteArrayView line) {
  TreeLine out;
  qsizetype i = 0;
  while (i < line.size() && (line[i] == '\t' || line[i] == ' ')) ++i;
  out.level = static_cast<int>(std::min<qsizetype>(i, std::numeric_limits<int>::max()));
  const QByteArrayView rest = line.sliced(i);
  const qsizetype comma = rest.indexOf(',');
  int key = -1;
  if (comma >= 0 && ReadWholeNumber(rest.sliced(comma + 1), &key)) {
    out.caption = rest.first(comma).toByteArray();
    out.key = key;
  } else {
    out.caption = rest.toByteArray();
  }
  return out;
}

TreeFileResult ParseTreeFile(QByteArrayView bytes) {
  const qsizetype nul = bytes.indexOf('\0');
  if (nul >= 0) bytes = bytes.first(nul);

  TreeFileResult result;
  TreeNodeList& nodes = result.nodes;
  int prevDepth = 0;
  qsizetype pos = 0;
  const qsizetype n = bytes.size();
  while (pos < n) {
    qsizetype end = pos;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const TreeLine line = ParseTreeLine(bytes.sliced(pos, end - pos));
    pos = end;
    if (pos < n) pos += (bytes[pos] == '\r' && pos + 1 < n && bytes[pos + 1] == '\n') ? 2 : 1;

    TreeNodeRecord node{line.caption, line.key, -1};
    if (!nodes.empty()) {
      const int prev = static_cast<int>(nodes.size()) - 1;
      // The view lays out and frees a tree by recursing once per level, so a depth no
      // user reaches is refused like a jump.
      if (line.level - 1 > prevDepth || line.level >= kMaxTreeDepth) {
        result.error = QStringLiteral("項目 \"%1\" 不正確的階層 (level) (%2)")
                           .arg(Big5Decode(line.caption), QString::number(line.level));
        return result;
      }
      if (line.level == prevDepth + 1) {
        node.parent = prev;
      } else {
        // Same depth or shallower: a sibling of the ancestor at that depth.
        int a = prev;
        for (int d = prevDepth; d > line.level; --d) a = nodes[a].parent;
        node.parent = nodes[a].parent;
      }
      prevDepth = line.level;
    }
    nodes.push_back(std::move(node));
  }
  return result;
}

TreeFileResult ReadTreeFile(const QString& nativePath) {
  QByteArray bytes;
  try {
    ReadFileInto(nativePath, bytes);
  } catch (const FileError& e) {
    TreeFileResult result;
    // Something that is not a file at all (a FIFO, a device) is a bad name; a file that
    // cannot be opened keeps the tree's own text.
    result.error = e.code() == 3 && FileExists(nativePath)
                       ? e.text()
                       : QStringLiteral("無法開啟檔案 %1").arg(nativePath);
    return result;
  }
  return ParseTreeFile(bytes);
}

QString LoadTreeFile(TAutoTreeView& view, const QString& nativePath) {
  const TreeFileResult result = ReadTreeFile(nativePath);
  view.LoadNodes(result.nodes);
  return result.error;
}

}  // namespace rix
