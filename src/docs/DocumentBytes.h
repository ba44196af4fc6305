#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QTextDocument;

namespace rix {

// The byte count of a document: the Big5 size of its text, each paragraph
// break counting two. Kept up to date edit by edit, so that a keystroke costs
// the size of the paragraphs it touched, never the size of the document.
class DocumentBytes : public QObject {
  Q_OBJECT

public:
  // The counter of a document, made (as the document's child) on first use.
  static DocumentBytes* of(QTextDocument* doc);

  qint64 total() const { return total_; }
  // Runs setText, which replaces the whole text with paragraphs of the given
  // sizes, without counting them again.
  void replaceAll(const std::vector<int>& paragraphBytes, const std::function<void()>& setText);

private:
  explicit DocumentBytes(QTextDocument* doc);
  void changed(int position, int removed, int added);
  void recountAll();

  QTextDocument* doc_;
  std::vector<int> blocks_;  // bytes of each paragraph, without its break
  qint64 sum_ = 0;           // of blocks_
  qint64 total_ = 0;
  bool suspended_ = false;
};

}  // namespace rix
