#include "docs/DocumentBytes.h"

#include <QTextBlock>
#include <QTextDocument>
#include <numeric>

#include "platform/Big5Codec.h"

namespace rix {

namespace {

int BlockBytes(const QTextBlock& b) { return static_cast<int>(Big5Codec::byteLength(b.text())); }

}  // namespace

DocumentBytes* DocumentBytes::of(QTextDocument* doc) {
  if (auto* existing = doc->findChild<DocumentBytes*>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return new DocumentBytes(doc);
}

DocumentBytes::DocumentBytes(QTextDocument* doc) : QObject(doc), doc_(doc) {
  // A document reports its changes only once it has a layout.
  doc->documentLayout();
  connect(doc, &QTextDocument::contentsChange, this, &DocumentBytes::changed);
  recountAll();
}

void DocumentBytes::recountAll() {
  blocks_.clear();
  blocks_.reserve(static_cast<size_t>(doc_->blockCount()));
  for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) blocks_.push_back(BlockBytes(b));
  sum_ = std::accumulate(blocks_.begin(), blocks_.end(), qint64(0));
  total_ = sum_ + 2 * (static_cast<qint64>(blocks_.size()) - 1);
}

void DocumentBytes::replaceAll(const std::vector<int>& paragraphBytes,
                               const std::function<void()>& setText) {
  suspended_ = true;
  try {
    setText();
  } catch (...) {
    suspended_ = false;
    recountAll();
    throw;
  }
  suspended_ = false;
  if (static_cast<int>(paragraphBytes.size()) != doc_->blockCount()) {
    recountAll();  // the text was not what the sizes describe
    return;
  }
  blocks_ = paragraphBytes;
  sum_ = std::accumulate(blocks_.begin(), blocks_.end(), qint64(0));
  total_ = sum_ + 2 * (static_cast<qint64>(blocks_.size()) - 1);
}

void DocumentBytes::changed(int position, int, int added) {
  if (suspended_) return;
  // The paragraphs now covering the change replace the ones that covered it
  // before; the paragraphs after it are the same ones, only moved.
  const int newCount = doc_->blockCount();
  const int oldCount = static_cast<int>(blocks_.size());
  QTextBlock first = doc_->findBlock(position);
  if (!first.isValid()) first = doc_->lastBlock();
  QTextBlock last = doc_->findBlock(position + added);
  if (!last.isValid()) last = doc_->lastBlock();
  const int from = first.blockNumber();
  const int newSpan = last.blockNumber() - from + 1;
  const int oldSpan = newSpan - (newCount - oldCount);
  if (from + oldSpan > oldCount || oldSpan < 1) {
    recountAll();  // not a change this bookkeeping can follow
    return;
  }
  const auto at = blocks_.begin() + from;
  sum_ -= std::accumulate(at, at + oldSpan, qint64(0));
  std::vector<int> fresh;
  fresh.reserve(static_cast<size_t>(newSpan));
  for (QTextBlock b = first;; b = b.next()) {
    fresh.push_back(BlockBytes(b));
    if (b == last) break;
  }
  sum_ += std::accumulate(fresh.begin(), fresh.end(), qint64(0));
  if (oldSpan == newSpan) {
    std::copy(fresh.begin(), fresh.end(), at);
  } else {
    blocks_.erase(at, at + oldSpan);
    blocks_.insert(blocks_.begin() + from, fresh.begin(), fresh.end());
  }
  total_ = sum_ + 2 * (static_cast<qint64>(blocks_.size()) - 1);
}

}  // namespace rix
