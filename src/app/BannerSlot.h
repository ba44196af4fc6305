#pragma once

#include <QStatusBar>

// The main window's status-bar slot, which the window lays out below its
// bottom toolbar area across its whole width, given over to one widget (the
// banner) that fills it edge to edge. The status bar's own messages and item
// frames stay unused underneath.
class BannerSlot : public QStatusBar {
  Q_OBJECT

public:
  BannerSlot(QWidget* content, QWidget* parent);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* content_;
};
