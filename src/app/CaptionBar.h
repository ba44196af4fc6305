#pragma once

#include <QWidget>

namespace rix {

// The window's caption band: a gradient of 64 steps from black to the
// active (or inactive) caption colour, with the company text "RIX", the
// application text "FrontEnd" and the caption text "v0.8".
class CaptionBar : public QWidget {
  Q_OBJECT

public:
  explicit CaptionBar(QWidget* parent = nullptr);
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
};

}  // namespace rix
