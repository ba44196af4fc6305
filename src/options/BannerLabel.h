#pragma once

#include <QWidget>

namespace rix {

// A page's title in large bold grey letters that look pressed into the page.
class BannerLabel : public QWidget {
  Q_OBJECT
public:
  explicit BannerLabel(const QString& text, QWidget* parent = nullptr);

  QString text() const { return text_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString text_;
};

}  // namespace rix
