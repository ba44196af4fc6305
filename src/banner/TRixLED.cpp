#include "banner/TRixLED.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "banner/RibbonPieces.h"
#include "banner/RixLEDAccessible.h"

namespace {

const char* const kDefaultText = "TRixLED - LED banner of RIX FrontEnd";

// Draws `width` rings of a 3-D frame inside r and shrinks r past them.
void Frame3D(QPainter& p, QRect& r, const QColor& top, const QColor& bottom, int width) {
  for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), top);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), top);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottom);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottom);
    r.adjust(1, 1, -1, -1);
  }
}

int Mod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

TRixLED::TRixLED(QWidget* parent) : QWidget(parent) {
  static const bool described = (QAccessible::installFactory(&RixLEDAccessible::Create), true);
  Q_UNUSED(described);
  // Every pixel is painted each time, so Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  color_ = palette().color(QPalette::Button);
  text_ = QString::fromLatin1(kDefaultText);
  FitToDots();
  resize(DotsSize());
  scrollTimer_ = new QTimer(this);
  scrollTimer_->setInterval(10);
  connect(scrollTimer_, &QTimer::timeout, this, &TRixLED::TimerTick);
  scrollPos_ = 0;
}

TRixLED::~TRixLED() = default;

void TRixLED::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  Rebuilt();
}

void TRixLED::SetBackColor(const QColor& value) {
  if (backColor_ == value) return;
  backColor_ = value;
  Rebuilt();
}

void TRixLED::SetDotSize(int value) {
  if (dotSize_ == value) return;
  dotSize_ = value;
  Rebuilt();
}

void TRixLED::SetDotSpace(int value) {
  if (dotSpace_ == value) return;
  dotSpace_ = value;
  Rebuilt();
}

void TRixLED::SetEnabledDotColor(const QColor& value) {
  if (enabledDotColor_ == value) return;
  enabledDotColor_ = value;
  Rebuilt();
}

void TRixLED::SetTextBorderWidth(int value) {
  if (textBorderWidth_ == value) return;
  textBorderWidth_ = value;
  Rebuilt();
}

void TRixLED::SetFontColor(const QColor& value) {
  if (fontColor_ == value) return;
  fontColor_ = value;
  Rebuilt();
}

void TRixLED::SetText(const QString& value) {
  if (text_ == value) return;
  text_ = value;
  if (!picture_.isNull()) picture_ = QImage();
  scrollPos_ = 0;
  frame_ = Frame::Still;
  Rebuilt();
}

void TRixLED::SetPicture(const QImage& value) {
  text_.clear();
  picture_ = value;
  Rebuilt();
}

int TRixLED::Speed() const { return scrollTimer_->interval(); }

void TRixLED::SetSpeed(int value) {
  scrollTimer_->setInterval(std::max(0, value));
  // A zero interval would spin; like a window timer, it simply never fires.
  if (scroll_ && scrollTimer_->interval() > 0) {
    if (!scrollTimer_->isActive()) scrollTimer_->start();
  } else {
    scrollTimer_->stop();
  }
}

void TRixLED::SetScroll(bool value) {
  if (scroll_ == value) return;
  scroll_ = value;
  if (scroll_ && scrollTimer_->interval() > 0)
    scrollTimer_->start();
  else
    scrollTimer_->stop();
  // The dot area is laid out differently while scrolling (see paintEvent).
  update();
}

void TRixLED::SetScrollMode(TScrollMode value) {
  if (scrollMode_ == value) return;
  scrollMode_ = value;
  scrollPos_ = 0;
  frame_ = Frame::Still;
  update();
}

void TRixLED::SetBevelOuter(TPanelBevel value) {
  if (bevelOuter_ == value) return;
  bevelOuter_ = value;
  update();
}

void TRixLED::SetBevelInner(TPanelBevel value) {
  if (bevelInner_ == value) return;
  bevelInner_ = value;
  update();
}

void TRixLED::SetBevelWidth(int value) {
  if (bevelWidth_ == value) return;
  bevelWidth_ = value;
  update();
}

void TRixLED::SetBorderWidth(int value) {
  if (borderWidth_ == value) return;
  borderWidth_ = value;
  update();
}

void TRixLED::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  update();
}

void TRixLED::SetColor(const QColor& value) {
  if (color_ == value) return;
  color_ = value;
  update();
}

void TRixLED::Rebuilt() {
  dotsStale_ = true;
  FitToDots();
  update();
}

QFont TRixLED::DotFont() const {
  // One pixel becomes one dot: blended edge pixels would only muddy the dots.
  // Unhinted outlines keep bold strokes two pixels wide at small sizes.
  QFont f = font();
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

QSize TRixLED::DotsSize() const {
  if (!dotsStale_) return dotImage_.size();
  QSize t;
  if (picture_.isNull()) {
    const QFontMetrics fm(DotFont());
    const int border = std::max(0, textBorderWidth_);
    const QString& text = text_.isEmpty() ? QStringLiteral("   ") : text_;
    t = QSize(fm.horizontalAdvance(text) + 2 * border, fm.height() + 2 * border);
  } else {
    t = picture_.size();
  }
  const int pitch = std::max(0, dotSize_) + std::max(0, dotSpace_);
  const QSize dots(t.width() * pitch, t.height() * pitch);
  return dots.width() > 0 && dots.height() > 0 ? dots : QSize(0, 0);
}

void TRixLED::FitToDots() {
  if (picture_.isNull() && text_.isEmpty()) text_ = QStringLiteral("   ");
  if (autoSize_) {
    const QSize dots = DotsSize();
    fittedSize_ =
        QSize(dots.width() + 2 * drawArea_.left() + 1, dots.height() + 2 * drawArea_.top() + 1);
    resize(fittedSize_);
  }
  updateGeometry();
}

void TRixLED::EnsureDots() const {
  if (!dotsStale_) return;
  auto* self = const_cast<TRixLED*>(this);
  const QSize expected = DotsSize();
  self->RenderDots();
  // Only a picture too large to hold comes out otherwise.
  if (dotImage_.size() != expected) self->FitToDots();
}

const QImage& TRixLED::TextImage() const {
  EnsureDots();
  return textImage_;
}

const QImage& TRixLED::DotImage() const {
  EnsureDots();
  return dotImage_;
}

void TRixLED::BuildDotImage() {
  RenderDots();
  FitToDots();
}

void TRixLED::RenderDots() {
  const int ds = std::max(0, dotSize_);
  const int sp = std::max(0, dotSpace_);
  const int border = std::max(0, textBorderWidth_);
  const int pitch = ds + sp;

  if (picture_.isNull()) {
    if (text_.isEmpty()) text_ = QStringLiteral("   ");
    const QFont f = DotFont();
    const QFontMetrics fm(f);
    textImage_ = QImage(fm.horizontalAdvance(text_) + 2 * border, fm.height() + 2 * border,
                        QImage::Format_RGB32);
    textImage_.fill(enabledDotColor_);
    QPainter p(&textImage_);
    p.setFont(f);
    p.setPen(fontColor_);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(enabledDotColor_);
    p.drawText(QPoint(border, border + fm.ascent()), text_);
  } else {
    textImage_ = picture_.convertToFormat(QImage::Format_RGB32);
  }

  const int w = textImage_.width();
  const int h = textImage_.height();
  dotImage_ = QImage(w * pitch, h * pitch, QImage::Format_RGB32);
  if (!dotImage_.isNull()) {
    dotImage_.fill(backColor_);
    // Pixel (x, y) becomes a ds x ds square at (sp + x * pitch, sp + y * pitch):
    // build the first line of each dot row, then copy it down.
    const qsizetype lineBytes = static_cast<qsizetype>(dotImage_.width()) * 4;
    for (int y = 0; y < h && ds > 0; ++y) {
      const auto* src = reinterpret_cast<const QRgb*>(textImage_.constScanLine(y));
      const int top = sp + y * pitch;
      auto* line = reinterpret_cast<QRgb*>(dotImage_.scanLine(top));
      for (int x = 0; x < w; ++x) std::fill_n(line + sp + x * pitch, ds, src[x]);
      for (int r = 1; r < ds; ++r) std::memcpy(dotImage_.scanLine(top + r), line, lineBytes);
    }
  }
  dotPixmap_ = QPixmap::fromImage(dotImage_);

  // The all-unlit flash frame is this tile repeated at the dot pitch.
  if (pitch > 0) {
    QImage tile(pitch, pitch, QImage::Format_RGB32);
    tile.fill(backColor_);
    if (ds > 0) {
      QPainter tp(&tile);
      tp.fillRect(QRect(sp, sp, ds, ds), enabledDotColor_);
    }
    unlitTile_ = QPixmap::fromImage(tile);
  } else {
    unlitTile_ = QPixmap();
  }
  dotsStale_ = false;
}

// Inside a layout the fitted size can only be asked for.
QSize TRixLED::sizeHint() const { return autoSize_ ? fittedSize_ : DotsSize(); }

void TRixLED::TimerTick() {
  switch (scrollMode_) {
    case smNone:
      break;
    case smLeftToRight:
      DrawHorizontal();
      scrollPos_ -= moveStep_;
      break;
    case smRightToLeft:
      DrawHorizontal();
      scrollPos_ += moveStep_;
      break;
    case smTopToBottom:
      DrawVertical();
      scrollPos_ -= moveStep_;
      break;
    case smBottomToTop:
      DrawVertical();
      scrollPos_ += moveStep_;
      break;
    case smFlash:
      DrawFlash();
      break;
  }
}

void TRixLED::ShowFrame(Frame frame, int pos) {
  const Frame shown = frame_;
  const int shownPos = framePos_;
  frame_ = frame;
  framePos_ = pos;
  // Painting at once, like a direct draw, spares the event loop a second pass
  // per tick.
  if (!isVisible()) return;
  const QRect& a = drawArea_;
  if (a.width() <= 0 || a.height() <= 0) {
    onScreen_ = false;
    repaint();
    return;
  }
  // The ribbon is periodic, so a step of the offset is a shift of what is
  // already on screen: move it and draw only the strip that comes in.
  const bool ribbon = frame == shown && (frame == Frame::Horizontal || frame == Frame::Vertical);
  if (!ribbon || !scroll_ || paintedSize_ != size() || dotPixmap_.isNull()) {
    onScreen_ = false;
    repaint(a);
    return;
  }
  const bool horizontal = frame == Frame::Horizontal;
  const int period = horizontal ? dotPixmap_.width() : dotPixmap_.height();
  const int extent = horizontal ? a.width() : a.height();
  // The shortest way round: a wrap of the offset is a step like any other.
  int d = Mod(pos - shownPos, period);
  if (d > period / 2) d -= period;
  if (d == 0) return;
  if (screen_.Show(this, dotImage_, a, pos, horizontal)) {
    onScreen_ = true;
    WatchExposes();
    return;
  }
  // What is in the backing store is older than what the screen shows.
  if (onScreen_ || std::abs(d) >= extent) {
    onScreen_ = false;
    repaint(a);
    return;
  }
  QRect strip;
  if (horizontal) {
    scroll(-d, 0, a);
    strip = d > 0 ? QRect(a.right() + 1 - d, a.top(), d, a.height())
                  : QRect(a.left(), a.top(), -d, a.height());
  } else {
    scroll(0, -d, a);
    strip = d > 0 ? QRect(a.left(), a.bottom() + 1 - d, a.width(), d)
                  : QRect(a.left(), a.top(), a.width(), -d);
  }
  repaint(strip);
}

// An exposed part of the window is put back from the backing store, which
// has not seen the frames drawn straight onto the screen: repaint the dots
// into it first, with the frame the screen showed.
void TRixLED::WatchExposes() {
  QWidget* native = internalWinId() ? this : nativeParentWidget();
  QWindow* w = native ? native->windowHandle() : nullptr;
  if (w == watched_) return;
  if (watched_) watched_->removeEventFilter(this);
  watched_ = w;
  if (w) w->installEventFilter(this);
}

bool TRixLED::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_ && event->type() == QEvent::Expose && onScreen_) update(drawArea_);
  return QWidget::eventFilter(watched, event);
}

void TRixLED::DrawHorizontal() {
  EnsureDots();
  ShowFrame(Frame::Horizontal, scrollPos_);
  const int wd = dotImage_.width();
  const int rem = wd - scrollPos_;
  if (scrollMode_ == smRightToLeft) {
    if (rem <= 0) scrollPos_ = 0;
  } else if (rem >= wd) {
    scrollPos_ = wd;
  }
}

void TRixLED::DrawVertical() {
  EnsureDots();
  ShowFrame(Frame::Vertical, scrollPos_);
  const int hd = dotImage_.height();
  const int rem = hd - scrollPos_;
  if (scrollMode_ == smBottomToTop) {
    if (rem <= 0) scrollPos_ = 0;
  } else if (rem >= hd) {
    scrollPos_ = hd;
  }
}

void TRixLED::DrawFlash() {
  if (FlashPhase)
    ShowFrame(Frame::Unlit, 0);
  else
    DrawHorizontal();
  FlashPhase = !FlashPhase;
}

QRect TRixLED::PaintFrame(QPainter& p) const {
  QRect r = rect();
  p.fillRect(r, color_);
  const QColor light = palette().color(QPalette::Light);
  const QColor shadow = palette().color(QPalette::Dark);
  if (borderStyle_ == bsSingle)
    Frame3D(p, r, palette().color(QPalette::WindowText), palette().color(QPalette::WindowText), 1);
  if (bevelOuter_ != bvNone) {
    const bool raised = bevelOuter_ == bvRaised;
    Frame3D(p, r, raised ? light : shadow, raised ? shadow : light, bevelWidth_);
  }
  Frame3D(p, r, color_, color_, borderWidth_);
  if (bevelInner_ != bvNone) {
    const bool raised = bevelInner_ == bvRaised;
    Frame3D(p, r, raised ? light : shadow, raised ? shadow : light, bevelWidth_);
  }
  return r;
}

void TRixLED::PaintRibbon(QPainter& p, int pos, bool horizontal) const {
  ForEachRibbonPiece(
      drawArea_, dotPixmap_.size(), pos, horizontal,
      [&](const QRect& src, const QPoint& at) { p.drawPixmap(at, dotPixmap_, src); });
}

void TRixLED::PaintUnlit(QPainter& p) const {
  const int pitch = std::max(0, dotSize_) + std::max(0, dotSpace_);
  if (pitch <= 0 || unlitTile_.isNull()) return;
  const QRect& a = drawArea_;
  const int cols = a.width() / pitch;
  const int rows = a.height() / pitch;
  if (cols <= 0 || rows <= 0) return;
  p.drawTiledPixmap(QRect(a.left(), a.top(), cols * pitch, rows * pitch), unlitTile_);
}

void TRixLED::paintEvent(QPaintEvent* event) {
  EnsureDots();
  QPainter p(this);
  // A tick repaints only the dot area; the frame around it is still in place.
  const bool dotsOnly = scroll_ && paintedSize_ == size() && drawArea_.contains(event->rect());
  QRect area = dotsOnly ? drawArea_ : PaintFrame(p);
  paintedSize_ = size();
  if (scroll_) {
    // While scrolling the ticks decide what the dot area shows; a paint only
    // puts back what the last tick showed.
    drawArea_ = area;
    const bool covered = (frame_ == Frame::Horizontal && area.height() <= dotImage_.height()) ||
                         (frame_ == Frame::Vertical && area.width() <= dotImage_.width());
    if (!covered || dotImage_.isNull()) p.fillRect(area, backColor_);
    p.setClipRect(area, Qt::IntersectClip);
    switch (frame_) {
      case Frame::Still:
        PaintRibbon(p, 0, true);
        PaintRibbon(p, 0, false);
        break;
      case Frame::Horizontal:
        PaintRibbon(p, framePos_, true);
        break;
      case Frame::Vertical:
        PaintRibbon(p, framePos_, false);
        break;
      case Frame::Unlit:
        PaintUnlit(p);
        break;
    }
    return;
  }
  p.fillRect(area, backColor_);
  const int sp = std::max(0, dotSpace_);
  area.adjust(sp, sp, -sp, -sp);
  drawArea_ = area;
  scrollPos_ = 0;
  frame_ = Frame::Still;
  p.setClipRect(area, Qt::IntersectClip);
  PaintRibbon(p, 0, true);
  PaintRibbon(p, 0, false);
}

void TRixLED::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) Rebuilt();
  QWidget::changeEvent(event);
}

void TRixLED::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QWidget::mousePressEvent(event);
}

void TRixLED::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QWidget::mouseReleaseEvent(event);
  if (click) emit clicked();
}

void TRixLED::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is not a click of its own.
  pressed_ = false;
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}
