#pragma once

#include <QPlainTextEdit>
#include <QStringView>
#include <functional>

namespace rix {

// The documentation editor: plain text in the fixed-pitch font, insert mode
// at start (Insert toggles overwrite, shown by a block caret), tabs of 8
// characters, no wrapping at start. Lines, the line count and the top line
// count display lines from 1 (a wrapped paragraph is several); columns count
// characters from 1, a caret column being the place before that character.
//
// The shortcuts of the actions added to it (addAction) act only while it has
// the focus, and take precedence over the editor's own keys: Ctrl+A can be a
// command of the program rather than "select all".
class DocEditor : public QPlainTextEdit {
  Q_OBJECT

public:
  static constexpr int kTabSize = 8;

  explicit DocEditor(QWidget* parent = nullptr);

  // The file the text was loaded from (native path); empty when none.
  const QString& fileName() const { return fileName_; }
  void setFileName(const QString& name) { fileName_ = name; }

  bool insertMode() const { return !overwriteMode(); }
  void setInsertMode(bool on);
  bool wordWrap() const { return lineWrapMode() != NoWrap; }
  // Wraps at the window's right edge.
  void setWordWrap(bool on);

  int lineCount() const;
  int topLine() const;
  int caretLine() const;
  int caretColumn() const;
  // Moves the caret to the start of column (or the line's end, if shorter) and
  // scrolls it into view; false, and nothing moves, when line < 1,
  // line > lineCount() or column < 1.
  bool caretTo(int line, int column);

  struct Selection {
    bool selected = false;
    int startLine = 0, startColumn = 0;
    int endLine = 0, endColumn = 0;  // the place just after the last selected character
  };
  Selection selection() const;

  // Raises showStatus now, for changes the editor does not see (a count kept
  // outside it).
  void updateStatus() { emitStatus(); }

  // Calls fn(line, text) for the display lines first to last, in order.
  void forEachDisplayLine(int first, int last,
                          const std::function<void(int, QStringView)>& fn) const;

signals:
  // Whenever the caret, the text or the mode changes: the caret's line and column.
  void showStatus(int line, int column);
  void mousePressed(Qt::MouseButton button);

protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

private:
  void emitStatus();
  void fitTabs();
  // With wrapping, the line counts of paragraphs not laid out yet are guesses:
  // these lay out what is needed so that every count is exact.
  void layoutAll() const;
  void layoutPending() const;
  void lineAndColumnOf(int position, int* line, int* column) const;

  QString fileName_;
  mutable bool layoutStale_ = false;
  mutable int pendingFrom_ = -1, pendingTo_ = -1;
};

}  // namespace rix
