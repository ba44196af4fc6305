#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace rix {

// A text box with a "..." button at its right end.
class EllipsisEdit : public QWidget {
  Q_OBJECT

public:
  explicit EllipsisEdit(QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  QLineEdit* lineEdit() const { return edit_; }
  QToolButton* button() const { return button_; }

  // Runs when the button is pressed.
  std::function<void()> onEllipsis;

private:
  QLineEdit* edit_;
  QToolButton* button_;
};

}  // namespace rix
