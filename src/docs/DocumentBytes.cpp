#include "docs/DocumentBytes.h"

#include <QTextBlock>
#include <QTextDocument>

#include "docs/DocumentFile.h"
#include "platform/Big5Codec.h"
#include "platform/ChunkWriter.h"

namespace rix {

namespace {

int BlockBytes(const QTextBlock& b) { return static_cast<int>(Big5Codec::byteLength(b.text())); }

// Encodes text into the writer a piece at a time, never splitting a
// surrogate pair or a character from its alternate mark.
void Encode(ChunkWriter& out, QStringView text) {
  constexpr qsizetype kPiece = ChunkWriter::kSize / 2;
  while (!text.isEmpty()) {
    qsizetype piece = std::min(text.size(), kPiece);
    while (piece < text.size() && piece > 0 &&
           (text[piece].isLowSurrogate() || text[piece].unicode() == Big5Codec::kAlternateMark))
      --piece;
    if (piece == 0) piece = std::min(text.size(), kPiece);
    out.commit(Big5Codec::encodeTo(text.first(piece), out.reserve(2 * piece)));
    text = text.sliced(piece);
  }
}

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

void DocumentBytes::sumUp() {
  total_ = 2 * (static_cast<qint64>(paragraphs_.size()) - 1);
  for (const Paragraph& p : paragraphs_) total_ += p.bytes;
}

void DocumentBytes::recountAll() {
  file_.clear();
  paragraphs_.clear();
  paragraphs_.reserve(static_cast<size_t>(doc_->blockCount()));
  for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next())
    paragraphs_.push_back({BlockBytes(b), -1});
  sumUp();
}

void DocumentBytes::replaceAll(const DocumentText& text, const QByteArray& file,
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
  const size_t n = text.paragraphBytes.size();
  if (n != static_cast<size_t>(doc_->blockCount()) || text.paragraphStarts.size() != n) {
    recountAll();  // the text was not what the sizes describe
    return;
  }
  file_ = file;
  paragraphs_.resize(n);
  for (size_t i = 0; i < n; ++i) paragraphs_[i] = {text.paragraphBytes[i], text.paragraphStarts[i]};
  sumUp();
}

void DocumentBytes::changed(int position, int, int added) {
  if (suspended_) return;
  // The paragraphs now covering the change replace the ones that covered it
  // before; the paragraphs after it are the same ones, only moved.
  const int newCount = doc_->blockCount();
  const int oldCount = static_cast<int>(paragraphs_.size());
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
  std::vector<Paragraph> fresh;
  fresh.reserve(static_cast<size_t>(newSpan));
  for (QTextBlock b = first;; b = b.next()) {
    fresh.push_back({BlockBytes(b), -1});
    if (b == last) break;
  }
  const auto at = paragraphs_.begin() + from;
  for (auto p = at; p != at + oldSpan; ++p) total_ -= p->bytes;
  for (const Paragraph& p : fresh) total_ += p.bytes;
  total_ += 2 * (newSpan - oldSpan);
  if (oldSpan == newSpan) {
    std::copy(fresh.begin(), fresh.end(), at);
  } else {
    paragraphs_.erase(at, at + oldSpan);
    paragraphs_.insert(paragraphs_.begin() + from, fresh.begin(), fresh.end());
  }
}

void DocumentBytes::write(const std::function<void(const char*, qsizetype)>& sink) const {
  const size_t n = paragraphs_.size();
  size_t edited = 0;
  for (const Paragraph& p : paragraphs_) edited += p.origin < 0;
  // Looking up many changed paragraphs one by one costs more than encoding
  // the whole text once.
  if (edited > 1024 && edited > n / 16) {
    writeEncoded(sink);
    return;
  }
  ChunkWriter out(sink);
  const char* file = file_.constData();
  qsizetype runStart = 0, runEnd = -1;  // unchanged bytes not handed on yet
  auto endRun = [&] {
    if (runEnd >= 0) out.put(QByteArrayView(file + runStart, runEnd - runStart));
    runEnd = -1;
  };
  auto fromFile = [&](qsizetype a, qsizetype b) {
    if (a != runEnd) {
      endRun();
      runStart = a;
    }
    runEnd = b;
  };
  for (size_t i = 0; i < n; ++i) {
    const Paragraph& p = paragraphs_[i];
    if (i + 1 == n && p.bytes == 0) break;
    if (p.origin >= 0) {
      const qsizetype end = p.origin + p.bytes;
      if (file_.size() >= end + 2 && file[end] == '\r' && file[end + 1] == '\n') {
        fromFile(p.origin, end + 2);
        continue;
      }
      fromFile(p.origin, end);
    } else {
      endRun();
      Encode(out, doc_->findBlockByNumber(static_cast<int>(i)).text());
    }
    endRun();
    out.put("\r\n");
  }
  endRun();
  out.flush();
}

void DocumentBytes::writeEncoded(const std::function<void(const char*, qsizetype)>& sink) const {
  // The raw text is every paragraph in order, each break a paragraph
  // separator: one copy out of the document.
  const QString raw = doc_->toRawText();
  const QStringView all(raw);
  ChunkWriter out(sink);
  for (qsizetype pos = 0;;) {
    const qsizetype brk = all.indexOf(QChar::ParagraphSeparator, pos);
    const QStringView paragraph = all.sliced(pos, (brk < 0 ? all.size() : brk) - pos);
    if (brk < 0 && paragraph.isEmpty()) break;
    Encode(out, paragraph);
    out.put("\r\n");
    if (brk < 0) break;
    pos = brk + 1;
  }
  out.flush();
}

}  // namespace rix
