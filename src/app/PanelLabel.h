#pragma once

#include <QLabel>
#include <functional>

namespace rix {

// A sunken panel with a caption that reports double clicks.
class PanelLabel : public QLabel {
  Q_OBJECT

public:
  explicit PanelLabel(QWidget* parent = nullptr);
  std::function<void()> onDoubleClick;

protected:
  bool event(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace rix
