#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <cstdint>

class QWidget;

// Draws a scrolling banner's ribbon straight onto its X window, from a copy
// of the dot image kept in the X server: a tick is then a few server-side
// copies, with no painting on our side and no wait for the server.
//
// Painting through the window's backing store cannot do that under X: the
// store shares its memory with the server, and repainting a part it handed
// over since the last wait (the strip that comes in, at the same place every
// tick) first waits for the server to be done with it — a round trip per
// tick that cost more than the rest of the tick together.
//
// The backing store is not told: it keeps whatever the banner last painted
// into it, and a flush of it from Qt (an expose) shows that frame until the
// next tick copies the whole dot area again. The banner's own paint
// continues to paint the current frame, so any repaint puts the store right.
class ScreenRibbon {
public:
  ScreenRibbon() = default;
  ScreenRibbon(const ScreenRibbon&) = delete;
  ScreenRibbon& operator=(const ScreenRibbon&) = delete;
  ~ScreenRibbon();

  // Shows the ribbon at offset pos in area (w's coordinates) on the screen,
  // clipped to what of w is visible. False when it cannot be done this way
  // (not an X display, a scaled or unusual window, an image too large for
  // the server); the caller then paints as usual.
  bool Show(QWidget* w, const QImage& dots, const QRect& area, int pos, bool horizontal);

  // Lets go of the server's copy of the image.
  void Drop();

private:
  bool Probe(std::uint32_t window);
  bool Upload(const QImage& dots);

  void* connection_ = nullptr;  // the application's X connection, while it lasts
  std::uint32_t window_ = 0;
  bool usable_ = false;
  std::uint32_t root_ = 0;
  std::uint8_t depth_ = 0;
  std::uint32_t gc_ = 0;
  std::uint32_t pixmap_ = 0;
  qint64 dotsKey_ = 0;
  QSize dotsSize_;
  QRegion clip_;
  bool clipSet_ = false;
};
