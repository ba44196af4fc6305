#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "banner/ScreenRibbon.h"

class QTimer;
class QWindow;

enum TScrollMode { smNone, smLeftToRight, smRightToLeft, smTopToBottom, smBottomToTop, smFlash };

enum TPanelBevel { bvNone, bvLowered, bvRaised };

enum TBorderStyle { bsNone, bsSingle };

// A panel that shows a text (or a picture) as a matrix of square light dots and
// can run it as an endless ribbon in four directions, or flash it.
//
// The dot image is rendered once per change, when it is first needed after
// the change (a paint, a tick, DotImage), and painting only copies
// rectangles out of the prepared image. Under X a scrolling tick has the
// server copy the ribbon onto the screen from its own copy of the image
// (ScreenRibbon); elsewhere it moves what is on screen by the step and paints
// only the strip that comes in. The control's size follows each change at
// once.
class TRixLED : public QWidget {
  Q_OBJECT

public:
  explicit TRixLED(QWidget* parent = nullptr);
  ~TRixLED() override;

  // One phase for every banner in the process: two flashing banners alternate
  // together, and each tick of either inverts it.
  static inline bool FlashPhase = true;

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  QColor BackColor() const { return backColor_; }
  void SetBackColor(const QColor& value);
  int DotSize() const { return dotSize_; }
  void SetDotSize(int value);
  int DotSpace() const { return dotSpace_; }
  void SetDotSpace(int value);
  QColor EnabledDotColor() const { return enabledDotColor_; }
  void SetEnabledDotColor(const QColor& value);
  int TextBorderWidth() const { return textBorderWidth_; }
  void SetTextBorderWidth(int value);
  // The colour of a lit dot; part of the font, so a change rebuilds like one.
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& value);
  QString Text() const { return text_; }
  void SetText(const QString& value);
  QImage Picture() const { return picture_; }
  void SetPicture(const QImage& value);
  int Speed() const;
  void SetSpeed(int value);
  int MoveStep() const { return moveStep_; }
  void SetMoveStep(int value) { moveStep_ = value; }
  bool Scroll() const { return scroll_; }
  void SetScroll(bool value);
  TScrollMode ScrollMode() const { return scrollMode_; }
  void SetScrollMode(TScrollMode value);

  // The frame around the dot area, drawn as a panel draws its own.
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  QColor Color() const { return color_; }
  void SetColor(const QColor& value);

  const QImage& TextImage() const;
  const QImage& DotImage() const;
  QTimer* ScrollTimer() const { return scrollTimer_; }
  // In client coordinates, as the last paint left it; empty before the first.
  QRect DrawArea() const { return drawArea_; }
  int ScrollPos() const { return scrollPos_; }
  // Whether the last moving tick was drawn straight onto the screen, past
  // the window's backing store (see ScreenRibbon).
  bool DrawsOnScreen() const { return onScreen_; }

  // Renders the dot image now and fits the control to it.
  void BuildDotImage();
  // One step of the motion; ScrollTimer calls it every Speed milliseconds.
  void TimerTick();

  QSize sizeHint() const override;

signals:
  void clicked();
  void doubleClicked();

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // What the dot area shows until the next tick.
  enum class Frame { Still, Horizontal, Vertical, Unlit };

  void DrawHorizontal();
  void DrawVertical();
  void DrawFlash();
  void ShowFrame(Frame frame, int pos);
  void WatchExposes();
  void Rebuilt();
  QFont DotFont() const;
  // The dot image's size, without rendering it.
  QSize DotsSize() const;
  void FitToDots();
  void RenderDots();
  void EnsureDots() const;
  void PaintRibbon(QPainter& p, int pos, bool horizontal) const;
  void PaintUnlit(QPainter& p) const;
  QRect PaintFrame(QPainter& p) const;

  bool autoSize_ = false;
  QColor backColor_ = QColor(0, 0, 0);
  int dotSize_ = 2;
  int dotSpace_ = 1;
  QColor enabledDotColor_ = QColor(128, 128, 128);
  int textBorderWidth_ = 2;
  QColor fontColor_ = QColor(0, 255, 0);
  QString text_;
  QImage picture_;
  int moveStep_ = 3;
  bool scroll_ = false;
  TScrollMode scrollMode_ = smRightToLeft;

  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  QColor color_;

  QImage textImage_;
  QImage dotImage_;
  QPixmap dotPixmap_;
  QPixmap unlitTile_;
  bool dotsStale_ = true;
  QTimer* scrollTimer_ = nullptr;
  QRect drawArea_;
  QSize paintedSize_;
  QSize fittedSize_;
  int scrollPos_ = 0;
  Frame frame_ = Frame::Still;
  int framePos_ = 0;
  ScreenRibbon screen_;
  bool onScreen_ = false;
  QPointer<QWindow> watched_;
  bool pressed_ = false;
};
