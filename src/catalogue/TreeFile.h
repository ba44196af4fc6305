#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "widgets/TreeNodeRecord.h"

class TAutoTreeView;

namespace rix {

// The nodes of the emulator tree file and, when reading stopped early, the
// text for the error box. The nodes read before the error are kept.
struct TreeFileResult {
  TreeNodeList nodes;
  QString error;  // empty: the whole file was read

  bool ok() const { return error.isEmpty(); }
};

// One line of the tree file: its indentation and what follows it.
struct TreeLine {
  int level = 0;
  QByteArray caption;
  int key = -1;
};

// Reads a line's level, caption and key. The key follows the first comma when
// the rest of the line is a whole number; a number that does not fit an int
// leaves the node without a key.
TreeLine ParseTreeLine(QByteArrayView line);

// The deepest level a node may stand at, plus one: far beyond any catalogue,
// well within what the tree view can lay out.
constexpr int kMaxTreeDepth = 1000;

// Builds the nodes from the file's bytes. Lines end with CR LF, CR or LF; a
// NUL byte ends the text. Each line is placed against the depth of the line
// before it; a line more than one level deeper, or at level kMaxTreeDepth or
// beyond, stops the reading.
TreeFileResult ParseTreeFile(QByteArrayView bytes);

// Reads and parses the file at a native path; a file that cannot be opened
// gives no nodes and the error "無法開啟檔案 <path>"; one that is not a regular
// file (a FIFO, a device) gives "不正確檔案名稱" at once.
TreeFileResult ReadTreeFile(const QString& nativePath);

// Replaces the nodes of the view by those of the file (also when the file is
// missing: the view is left empty). Returns the error text, empty on success.
QString LoadTreeFile(TAutoTreeView& view, const QString& nativePath);

}  // namespace rix
