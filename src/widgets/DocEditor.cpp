#include "widgets/DocEditor.h"

#include <QAction>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace rix {

namespace {

// The layout of a paragraph, made if the view has not made it yet.
const QTextLayout* LaidOut(const QTextBlock& b) {
  auto* layout = qobject_cast<QPlainTextDocumentLayout*>(b.document()->documentLayout());
  layout->ensureBlockLayout(b);
  return b.layout();
}

}  // namespace

DocEditor::DocEditor(QWidget* parent) : QPlainTextEdit(parent) {
  QFont f(QStringLiteral("細明體"));
  f.setStyleHint(QFont::TypeWriter);
  f.setPointSize(9);
  setFont(f);
  setLineWrapMode(NoWrap);
  setOverwriteMode(false);
  fitTabs();

  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &DocEditor::emitStatus);
  connect(this, &QPlainTextEdit::selectionChanged, this, &DocEditor::emitStatus);
  connect(this, &QPlainTextEdit::modificationChanged, this, &DocEditor::emitStatus);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DocEditor::emitStatus);
  connect(document(), &QTextDocument::contentsChange, this, [this](int pos, int, int added) {
    if (!wordWrap()) return;
    pendingFrom_ = pendingFrom_ < 0 ? pos : std::min(pendingFrom_, pos);
    pendingTo_ = std::max(pendingTo_, pos + added);
  });
  connect(document(), &QTextDocument::contentsChanged, this, &DocEditor::emitStatus);
}

void DocEditor::fitTabs() {
  setTabStopDistance(kTabSize * QFontMetricsF(font()).horizontalAdvance(u' '));
}

void DocEditor::setInsertMode(bool on) {
  if (on == insertMode()) return;
  setOverwriteMode(!on);
  viewport()->update();
  emitStatus();
}

void DocEditor::setWordWrap(bool on) {
  if (on == wordWrap()) return;
  setLineWrapMode(on ? WidgetWidth : NoWrap);
  layoutStale_ = on;
  emitStatus();
}

void DocEditor::layoutAll() const {
  for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) LaidOut(b);
  layoutStale_ = false;
  pendingFrom_ = pendingTo_ = -1;
}

void DocEditor::layoutPending() const {
  if (!wordWrap()) return;
  if (layoutStale_) {
    layoutAll();
    return;
  }
  if (pendingFrom_ < 0) return;
  const QTextBlock last = document()->findBlock(pendingTo_);
  for (QTextBlock b = document()->findBlock(pendingFrom_); b.isValid(); b = b.next()) {
    LaidOut(b);
    if (b == last) break;
  }
  pendingFrom_ = pendingTo_ = -1;
}

int DocEditor::lineCount() const {
  if (!wordWrap()) return blockCount();
  layoutPending();
  return document()->lineCount();
}

int DocEditor::topLine() const { return verticalScrollBar()->value() + 1; }

void DocEditor::lineAndColumnOf(int position, int* line, int* column) const {
  const QTextBlock b = document()->findBlock(position);
  const int inBlock = position - b.position();
  if (!wordWrap()) {
    *line = b.blockNumber() + 1;
    *column = inBlock + 1;
    return;
  }
  layoutPending();
  const QTextLine l = LaidOut(b)->lineForTextPosition(inBlock);
  const int first = l.isValid() ? l.lineNumber() : 0;
  const int start = l.isValid() ? l.textStart() : 0;
  *line = b.firstLineNumber() + first + 1;
  *column = inBlock - start + 1;
}

int DocEditor::caretLine() const {
  int line = 0, column = 0;
  lineAndColumnOf(textCursor().position(), &line, &column);
  return line;
}

int DocEditor::caretColumn() const {
  int line = 0, column = 0;
  lineAndColumnOf(textCursor().position(), &line, &column);
  return column;
}

bool DocEditor::caretTo(int line, int column) {
  if (line < 1 || column < 1 || line > lineCount()) return false;
  int position = 0;
  if (!wordWrap()) {
    const QTextBlock b = document()->findBlockByNumber(line - 1);
    position = b.position() + std::min(column - 1, b.length() - 1);
  } else {
    const QTextBlock b = document()->findBlockByLineNumber(line - 1);
    const QTextLayout* layout = LaidOut(b);
    const QTextLine l = layout->lineAt(line - 1 - b.firstLineNumber());
    // The end of a wrapped line is the start of the next one.
    const bool lastInBlock = l.lineNumber() + 1 >= layout->lineCount();
    const int room = lastInBlock ? l.textLength() : std::max(0, l.textLength() - 1);
    position = b.position() + l.textStart() + std::min(column - 1, room);
  }
  QTextCursor c = textCursor();
  c.setPosition(position);
  setTextCursor(c);
  ensureCursorVisible();
  return true;
}

DocEditor::Selection DocEditor::selection() const {
  Selection s;
  const QTextCursor c = textCursor();
  if (!c.hasSelection()) return s;
  s.selected = true;
  lineAndColumnOf(c.selectionStart(), &s.startLine, &s.startColumn);
  lineAndColumnOf(c.selectionEnd(), &s.endLine, &s.endColumn);
  return s;
}

void DocEditor::forEachDisplayLine(int first, int last,
                                   const std::function<void(int, QStringView)>& fn) const {
  first = std::max(first, 1);
  last = std::min(last, lineCount());
  if (first > last) return;
  if (!wordWrap()) {
    QTextBlock b = document()->findBlockByNumber(first - 1);
    for (int n = first; n <= last && b.isValid(); ++n, b = b.next()) fn(n, b.text());
    return;
  }
  QTextBlock b = document()->findBlockByLineNumber(first - 1);
  int n = b.firstLineNumber() + 1;
  for (; b.isValid() && n <= last; b = b.next()) {
    const QString text = b.text();
    const QTextLayout* layout = LaidOut(b);
    for (int i = 0; i < layout->lineCount() && n <= last; ++i, ++n) {
      const QTextLine l = layout->lineAt(i);
      if (n >= first) fn(n, QStringView(text).sliced(l.textStart(), l.textLength()));
    }
  }
}

void DocEditor::emitStatus() {
  int line = 0, column = 0;
  lineAndColumnOf(textCursor().position(), &line, &column);
  emit showStatus(line, column);
}

bool DocEditor::event(QEvent* e) {
  // The program's commands win over the editor's own handling of the same keys.
  if (e->type() == QEvent::ShortcutOverride) {
    const auto* k = static_cast<QKeyEvent*>(e);
    const QKeySequence pressed(k->keyCombination());
    for (const QAction* a : actions()) {
      if (a->isEnabled() && a->shortcut() == pressed) {
        e->ignore();
        return true;
      }
    }
  }
  return QPlainTextEdit::event(e);
}

void DocEditor::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
    setInsertMode(!insertMode());
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

void DocEditor::mousePressEvent(QMouseEvent* e) {
  emit mousePressed(e->button());
  QPlainTextEdit::mousePressEvent(e);
}

void DocEditor::resizeEvent(QResizeEvent* e) {
  const int before = viewport()->width();
  QPlainTextEdit::resizeEvent(e);
  if (wordWrap() && viewport()->width() != before) {
    layoutStale_ = true;
    emitStatus();
  }
}

void DocEditor::changeEvent(QEvent* e) {
  QPlainTextEdit::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    fitTabs();
    layoutStale_ = wordWrap();
  }
}

}  // namespace rix
