#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace rix {

// A pair of arrow buttons that count a buddy edit up and down within a range,
// without wrapping. The position is read from the buddy's text each time
// (CounterPosition), so a typed value counts at once; a step writes the new
// position back as the buddy's text. Up and Down in the buddy step too.
class UpDown : public QWidget {
  Q_OBJECT
public:
  explicit UpDown(QWidget* parent = nullptr);

  void setBuddy(QLineEdit* buddy);
  QLineEdit* buddy() const { return buddy_; }
  void setRange(int min, int max);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int position() const;
  void setPosition(int position);

  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

  void stepBy(int steps);

  QSize sizeHint() const override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLineEdit* buddy_ = nullptr;
  QToolButton* up_;
  QToolButton* down_;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;  // used while there is no buddy
};

}  // namespace rix
