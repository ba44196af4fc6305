#include "docs/DocumentSearch.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <limits>

namespace rix {

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

bool IsWholeWord(QStringView line, qsizetype at, qsizetype length) {
  return (at == 0 || !IsWordChar(line[at - 1])) &&
         (at + length >= line.size() || !IsWordChar(line[at + length]));
}

Qt::CaseSensitivity CaseOf(SearchOptions options) {
  return options.testFlag(SearchFlag::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// Every hit of needle in line at or after from, in order.
template <typename Fn>
void ForEachHit(QStringView line, qsizetype from, QStringView needle, SearchOptions options,
                Fn fn) {
  const Qt::CaseSensitivity cs = CaseOf(options);
  const bool whole = options.testFlag(SearchFlag::WholeWord);
  for (qsizetype at = line.indexOf(needle, from, cs); at >= 0;
       at = line.indexOf(needle, at + 1, cs)) {
    if (whole && !IsWholeWord(line, at, needle.size())) continue;
    if (!fn(at)) return;
  }
}

}  // namespace

qsizetype FindInLine(QStringView line, qsizetype from, QStringView needle, SearchOptions options) {
  if (needle.isEmpty() || from < 0) return -1;
  if (!options.testFlag(SearchFlag::Backward)) {
    qsizetype hit = -1;
    ForEachHit(line, from, needle, options, [&](qsizetype at) {
      hit = at;
      return false;
    });
    return hit;
  }
  const Qt::CaseSensitivity cs = CaseOf(options);
  const bool whole = options.testFlag(SearchFlag::WholeWord);
  for (qsizetype start = std::min(from, line.size()) - needle.size(); start >= 0; --start) {
    start = line.lastIndexOf(needle, start, cs);
    if (start < 0) return -1;
    if (!whole || IsWholeWord(line, start, needle.size())) return start;
  }
  return -1;
}

bool SearchDocument(QTextCursor& cursor, const QString& text, SearchOptions options) {
  const QString needle = text.left(kSearchTextMax);
  if (needle.isEmpty()) return false;
  QTextDocument* doc = cursor.document();
  const bool backward = options.testFlag(SearchFlag::Backward);
  const int start = backward ? cursor.selectionStart() : cursor.selectionEnd();
  QTextBlock block = doc->findBlock(start);
  qsizetype from = start - block.position();
  while (block.isValid()) {
    const QString line = block.text();
    const qsizetype hit = FindInLine(line, from, needle, options);
    if (hit >= 0) {
      cursor.setPosition(block.position() + static_cast<int>(hit));
      cursor.setPosition(block.position() + static_cast<int>(hit + needle.size()),
                         QTextCursor::KeepAnchor);
      return true;
    }
    block = backward ? block.previous() : block.next();
    from = backward ? std::numeric_limits<int>::max() : 0;
  }
  return false;
}

int ReplaceInDocument(QTextCursor& cursor, const QString& find, const QString& replacement,
                      SearchOptions options) {
  const QString needle = find.left(kSearchTextMax);
  const QString with = replacement.left(kSearchTextMax);
  if (needle.isEmpty()) return -1;
  const SearchOptions forward = options & ~SearchOptions(SearchFlag::Backward);
  int count = 0;
  cursor.beginEditBlock();
  if (cursor.hasSelection() &&
      QString::compare(cursor.selectedText(), needle, CaseOf(options)) == 0) {
    cursor.insertText(with);
    ++count;
  }
  if (!options.testFlag(SearchFlag::ReplaceAll)) {
    cursor.endEditBlock();
    const bool next = SearchDocument(cursor, needle, forward);
    return count == 0 && !next ? -1 : count;
  }
  // Paragraph by paragraph: each one with hits is rewritten in one piece, so
  // that many hits in one long paragraph cost one pass over it.
  QTextDocument* doc = cursor.document();
  const int start = cursor.selectionEnd();
  QTextBlock block = doc->findBlock(start);
  qsizetype from = start - block.position();
  for (; block.isValid(); block = block.next(), from = 0) {
    const QString line = block.text();
    QString rebuilt;
    qsizetype first = -1, copied = 0;
    ForEachHit(line, from, needle, forward, [&](qsizetype at) {
      if (at < copied) return true;  // overlaps the previous hit
      if (first < 0) first = copied = at;
      rebuilt += QStringView(line).sliced(copied, at - copied);
      rebuilt += with;
      copied = at + needle.size();
      ++count;
      return true;
    });
    if (first < 0) continue;
    cursor.setPosition(block.position() + static_cast<int>(first));
    cursor.setPosition(block.position() + static_cast<int>(copied), QTextCursor::KeepAnchor);
    cursor.insertText(rebuilt);
  }
  cursor.endEditBlock();
  return count == 0 ? -1 : count;
}

}  // namespace rix
