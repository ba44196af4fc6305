#include "banner/ScreenRibbon.h"

#include <QGuiApplication>
#include <QWidget>
#include <vector>

#include "banner/RibbonPieces.h"

#if defined(RIX_HAVE_XCB) && QT_CONFIG(xcb)
#define RIX_X11 1
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

#if RIX_X11
xcb_connection_t* AppConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

template <class Reply>
struct Freed {
  Reply* r;
  ~Freed() { std::free(r); }
};
#endif

}  // namespace

ScreenRibbon::~ScreenRibbon() { Drop(); }

void ScreenRibbon::Drop() {
#if RIX_X11
  auto* c = static_cast<xcb_connection_t*>(connection_);
  // A connection that has gone took the server's copies with it.
  if (c && c == AppConnection()) {
    if (pixmap_) xcb_free_pixmap(c, pixmap_);
    if (gc_) xcb_free_gc(c, gc_);
    xcb_flush(c);
  }
#endif
  connection_ = nullptr;
  window_ = 0;
  usable_ = false;
  gc_ = 0;
  pixmap_ = 0;
  dotsKey_ = 0;
  clipSet_ = false;
}

bool ScreenRibbon::Probe(std::uint32_t window) {
#if RIX_X11
  auto* c = static_cast<xcb_connection_t*>(connection_);
  const Freed<xcb_get_geometry_reply_t> geometry{
      xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)};
  const Freed<xcb_get_window_attributes_reply_t> attributes{
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)};
  if (!geometry.r || !attributes.r) return false;
  // The image's pixels go over as they are: 0xAARRGGBB words, least
  // significant byte first, into a true-colour visual of those masks.
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
      QSysInfo::ByteOrder != QSysInfo::LittleEndian)
    return false;
  bool words = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == geometry.r->depth) words = f.data->bits_per_pixel == 32;
  if (!words) return false;
  bool visual = false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
    if (s.data->root != geometry.r->root) continue;
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != geometry.r->depth) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != attributes.r->visual) continue;
        visual = (v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR ||
                  v.data->_class == XCB_VISUAL_CLASS_DIRECT_COLOR) &&
                 v.data->red_mask == 0xff0000 && v.data->green_mask == 0x00ff00 &&
                 v.data->blue_mask == 0x0000ff;
      }
    }
  }
  if (!visual) return false;
  if (root_ != geometry.r->root || depth_ != geometry.r->depth) {
    // A pixmap and a graphics context serve windows of one root and depth.
    if (pixmap_) xcb_free_pixmap(c, pixmap_);
    if (gc_) xcb_free_gc(c, gc_);
    pixmap_ = 0;
    gc_ = 0;
    dotsKey_ = 0;
    root_ = geometry.r->root;
    depth_ = geometry.r->depth;
  }
  return true;
#else
  Q_UNUSED(window);
  return false;
#endif
}

bool ScreenRibbon::Upload(const QImage& dots) {
#if RIX_X11
  auto* c = static_cast<xcb_connection_t*>(connection_);
  if (pixmap_) xcb_free_pixmap(c, pixmap_);
  pixmap_ = 0;
  dotsKey_ = 0;
  const QImage image =
      dots.format() == QImage::Format_RGB32 ? dots : dots.convertToFormat(QImage::Format_RGB32);
  // The protocol's sizes are 16-bit.
  if (image.isNull() || image.width() > 32767 || image.height() > 32767) return false;
  pixmap_ = xcb_generate_id(c);
  xcb_create_pixmap(c, depth_, pixmap_, root_, static_cast<std::uint16_t>(image.width()),
                    static_cast<std::uint16_t>(image.height()));
  if (!gc_) {
    gc_ = xcb_generate_id(c);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(c, gc_, pixmap_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  } else if (clipSet_) {
    const std::uint32_t none = XCB_NONE;
    xcb_change_gc(c, gc_, XCB_GC_CLIP_MASK, &none);
  }
  clipSet_ = false;
  // In pieces of whole rows that each fit one request.
  const std::size_t stride = static_cast<std::size_t>(image.bytesPerLine());
  const std::size_t room = static_cast<std::size_t>(xcb_get_maximum_request_length(c)) * 4 -
                           sizeof(xcb_put_image_request_t);
  if (stride > room) {
    xcb_free_pixmap(c, pixmap_);
    pixmap_ = 0;
    return false;
  }
  const int rowsPerPut = static_cast<int>(room / stride);
  for (int y = 0; y < image.height(); y += rowsPerPut) {
    const int rows = std::min(rowsPerPut, image.height() - y);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_,
                  static_cast<std::uint16_t>(image.width()), static_cast<std::uint16_t>(rows), 0,
                  static_cast<std::int16_t>(y), 0, depth_,
                  static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)),
                  image.constScanLine(y));
  }
  dotsKey_ = dots.cacheKey();
  dotsSize_ = image.size();
  return true;
#else
  Q_UNUSED(dots);
  return false;
#endif
}

bool ScreenRibbon::Show(QWidget* w, const QImage& dots, const QRect& area, int pos,
                        bool horizontal) {
#if RIX_X11
  xcb_connection_t* c = AppConnection();
  if (!c || dots.isNull() || w->devicePixelRatioF() != 1.0) return false;
  if (c != connection_) {
    Drop();
    connection_ = c;
  }
  QWidget* native = w->internalWinId() ? w : w->nativeParentWidget();
  const auto window = native ? static_cast<std::uint32_t>(native->internalWinId()) : 0u;
  if (!window) return false;
  if (window != window_) {
    window_ = window;
    usable_ = Probe(window);
    clipSet_ = false;
  }
  if (!usable_) return false;
  if (!pixmap_ || dots.cacheKey() != dotsKey_) {
    if (!Upload(dots)) return false;
  }
  const QPoint offset = native == w ? QPoint() : w->mapTo(native, QPoint());
  const QRegion clip = (w->visibleRegion() & area).translated(offset);
  if (clip.isEmpty()) return true;
  if (!clipSet_ || clip != clip_) {
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(static_cast<std::size_t>(clip.rectCount()));
    for (const QRect& r : clip)
      rects.push_back({static_cast<std::int16_t>(r.x()), static_cast<std::int16_t>(r.y()),
                       static_cast<std::uint16_t>(r.width()),
                       static_cast<std::uint16_t>(r.height())});
    xcb_set_clip_rectangles(c, XCB_CLIP_ORDERING_YX_BANDED, gc_, 0, 0,
                            static_cast<std::uint32_t>(rects.size()), rects.data());
    clip_ = clip;
    clipSet_ = true;
  }
  ForEachRibbonPiece(area, dotsSize_, pos, horizontal, [&](const QRect& src, const QPoint& at) {
    const QPoint to = at + offset;
    xcb_copy_area(c, pixmap_, window, gc_, static_cast<std::int16_t>(src.x()),
                  static_cast<std::int16_t>(src.y()), static_cast<std::int16_t>(to.x()),
                  static_cast<std::int16_t>(to.y()), static_cast<std::uint16_t>(src.width()),
                  static_cast<std::uint16_t>(src.height()));
  });
  xcb_flush(c);
  return true;
#else
  Q_UNUSED(w);
  Q_UNUSED(dots);
  Q_UNUSED(area);
  Q_UNUSED(pos);
  Q_UNUSED(horizontal);
  return false;
#endif
}
