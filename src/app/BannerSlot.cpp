#include "app/BannerSlot.h"

#include <QEvent>

BannerSlot::BannerSlot(QWidget* content, QWidget* parent) : QStatusBar(parent), content_(content) {
  setSizeGripEnabled(false);
  content_->setParent(this);
  content_->installEventFilter(this);
  setFixedHeight(content_->height());
  content_->setGeometry(rect());
}

QSize BannerSlot::sizeHint() const { return {content_->sizeHint().width(), height()}; }

QSize BannerSlot::minimumSizeHint() const { return {0, height()}; }

void BannerSlot::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  content_->setGeometry(rect());
}

bool BannerSlot::eventFilter(QObject* watched, QEvent* event) {
  // The banner fits itself to its text when that changes; the slot's size wins.
  if (watched == content_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
      content_->geometry() != rect())
    content_->setGeometry(rect());
  return QStatusBar::eventFilter(watched, event);
}
