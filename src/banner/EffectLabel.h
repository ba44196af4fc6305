#pragma once

#include <QColor>
#include <QWidget>

namespace rix {

// A transparent caption drawn as raised lettering: a bright rim up and to the
// left, a stepped dark extrusion down and to the right, and the face on top.
class EffectLabel : public QWidget {
  Q_OBJECT

public:
  explicit EffectLabel(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  QColor FaceColor() const { return face_; }
  void SetFaceColor(const QColor& value);
  QColor HighlightColor() const { return highlight_; }
  void SetHighlightColor(const QColor& value);
  QColor ShadowColor() const { return shadow_; }
  void SetShadowColor(const QColor& value);
  int Depth() const { return depth_; }
  void SetDepth(int value);

  // The gold scheme: pale gold rim, dark bronze extrusion; the face is kept.
  void UseGoldScheme();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString caption_;
  QColor face_ = QColor(128, 128, 0);
  QColor highlight_;
  QColor shadow_;
  int depth_ = 3;
};

}  // namespace rix
