#include "widgets/PictureView.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "widgets/PictureFile.h"

namespace rix {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PictureView::setImageName(const QString& nativePath) {
  imageName_ = nativePath;
  QString failure;
  setImage(PictureFile::Read(nativePath, &failure));
  if (image_.isNull() && !failure.isEmpty() && onLoadFailed) onLoadFailed(failure);
  return !image_.isNull();
}

void PictureView::setImage(const QImage& image) {
  image_ = image;
  scaled_ = QPixmap();
  scaledFor_ = QSize();
  update();
}

void PictureView::clear() {
  imageName_.clear();
  setImage(QImage());
}

QString PictureView::Filter() { return PictureFile::Filter(); }

QRect PictureView::FitRect(const QSize& picture, const QSize& area) {
  if (picture.isEmpty() || area.isEmpty()) return {};
  const QSize fitted = picture.scaled(area, Qt::KeepAspectRatio);
  const QSize size(std::max(1, fitted.width()), std::max(1, fitted.height()));
  return QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
               size);
}

void PictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(QPalette::Button));
  const QRect target = FitRect(image_.size(), size());
  if (target.isEmpty()) return;

  const qreal ratio = devicePixelRatioF();
  if (scaledFor_ != target.size() || scaledRatio_ != ratio) {
    const QSize device(std::lround(target.width() * ratio), std::lround(target.height() * ratio));
    scaled_ =
        QPixmap::fromImage(image_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled_.setDevicePixelRatio(ratio);
    scaledFor_ = target.size();
    scaledRatio_ = ratio;
  }
  painter.drawPixmap(target.topLeft(), scaled_);
}

}  // namespace rix
