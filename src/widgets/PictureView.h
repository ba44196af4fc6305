#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>

#include "widgets/PictureFile.h"
#include "widgets/PictureWriter.h"

namespace rix {

// Shows one picture scaled to fit, aspect ratio kept, centred on the
// button-face colour.
class PictureView : public QWidget {
  Q_OBJECT

public:
  explicit PictureView(QWidget* parent = nullptr);

  // Loads and shows the file, choosing the decoder by its extension. On
  // failure the view shows no picture and passes the failure text to
  // onLoadFailed (not called for an unknown extension, which has no text).
  bool setImageName(const QString& nativePath);
  QString imageName() const { return imageName_; }

  // The picture as decoded, in its own size; null when none is shown.
  const QImage& image() const { return image_; }
  // Shows a picture made in memory (a loaded one drawn on, say). It is no
  // longer the file, so the image name is cleared: naming the file again
  // loads it afresh.
  void setImage(const QImage& image);
  void clear();

  // Writes the picture shown as the given type. On failure the writer's text
  // and "Writing <ext> file failed" go to onSaveFailed, in that order.
  bool saveImage(const QString& nativePath, PictureFile::Type type,
                 const PictureWriter::Options& options);

  // Called with the text to show the user when a file cannot be decoded.
  std::function<void(const QString& text)> onLoadFailed;
  // Called with the writer's text and the format's failure text.
  std::function<void(const QString& writerText, const QString& failureText)> onSaveFailed;

  // Open-dialog filter of the picture types this view reads.
  static QString Filter();

  // Where a picture of the given size lands in an area: as large as fits
  // with its aspect ratio kept, centred. Empty for an empty picture or area.
  static QRect FitRect(const QSize& picture, const QSize& area);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage image_;
  QString imageName_;
  // The picture scaled for the last size painted; rescaled only when the
  // target size or the picture changes.
  QPixmap scaled_;
  QSize scaledFor_;
  qreal scaledRatio_ = 0;
};

}  // namespace rix
