#include "widgets/PictureView.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace rix {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PictureView::setImageName(const QString& nativePath) {
  QString failure;
  setImage(PictureFile::Read(nativePath, &failure));
  imageName_ = nativePath;
  if (image_.isNull() && !failure.isEmpty() && onLoadFailed) onLoadFailed(failure);
  return !image_.isNull();
}

void PictureView::setImage(const QImage& image) {
  imageName_.clear();
  image_ = image;
  scaled_ = QPixmap();
  scaledFor_ = QSize();
  update();
}

void PictureView::clear() { setImage(QImage()); }

bool PictureView::saveImage(const QString& nativePath, PictureFile::Type type,
                            const PictureWriter::Options& options) {
  QString error;
  if (PictureWriter::Write(nativePath, image_, type, options, &error)) return true;
  if (onSaveFailed) onSaveFailed(error, PictureFile::WriteFailureText(type));
  return false;
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
