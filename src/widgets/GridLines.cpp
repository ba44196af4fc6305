#include "widgets/GridLines.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace rix {

namespace {

void FillWithPainter(QPainter& p, const GridLines& lines, const QColor& colour) {
  const QRect& a = lines.area;
  for (int y : lines.rowLines) p.fillRect(QRect(a.left(), y, a.width(), 1), colour);
  for (int x : lines.columnLines) p.fillRect(QRect(x, a.top(), 1, a.height()), colour);
}

// A row of pixels of one colour, eight at a time where it can: a copy of a
// fixed size the compiler makes into wide stores, which a plain loop of
// single pixels is not.
void FillRun(QRgb* p, qsizetype n, QRgb pixel) {
  QRgb block[8];
  std::fill_n(block, 8, pixel);
  qsizetype i = 0;
  for (; i + 8 <= n; i += 8) std::memcpy(p + i, block, sizeof block);
  for (; i < n; ++i) p[i] = pixel;
}

}  // namespace

DirectImage DirectTarget(QPainter& p) {
  QPaintEngine* engine = p.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster || p.hasClipping() || p.opacity() != 1.0)
    return {};
  const auto mode = p.compositionMode();
  if (mode != QPainter::CompositionMode_SourceOver && mode != QPainter::CompositionMode_Source)
    return {};
  QPaintDevice* device = engine->paintDevice();
  if (!device || device->devType() != QInternal::Image) return {};
  auto* image = static_cast<QImage*>(device);
  switch (image->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
      break;
    default:
      return {};
  }
  // The painter has made the image its own; a shared one would be copied by
  // a write, away from what the painter draws into.
  if (!image->isDetached() || image->devicePixelRatio() != 1.0) return {};
  const QTransform t = p.deviceTransform();
  if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) ||
      t.dy() != std::floor(t.dy()))
    return {};
  DirectImage d;
  d.image = image;
  d.offset = QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
  d.sourceOver = mode == QPainter::CompositionMode_SourceOver;
  // What the painter may touch, in the image's pixels, as its engine takes
  // it: the part of the image the system clip leaves (all of it without
  // one), within the engine's coordinate limit.
  constexpr int kLimit = 32767;
  const QRect bounds(0, 0, std::min(kLimit, image->width()), std::min(kLimit, image->height()));
  d.clip = engine->systemClip();
  if (d.clip.isEmpty()) d.clip = bounds;
  d.clip &= bounds;
  return d;
}

void DrawGridLines(QPainter& p, const GridLines& lines, const QColor& colour) {
  const DirectImage direct = colour.alpha() == 255 ? DirectTarget(p) : DirectImage();
  if (!direct.image) {
    FillWithPainter(p, lines, colour);
    return;
  }
  QImage* const image = direct.image;
  const QPoint offset = direct.offset;
  const QRegion clip = direct.clip & lines.area.translated(offset);
  const QRgb pixel = colour.rgb() | 0xff000000u;
  const qsizetype stride = image->bytesPerLine();
  auto* const bits = const_cast<uchar*>(image->constBits());
  for (const QRect& c : clip) {
    // The lines as they fall in this piece of the clip, in image pixels.
    auto row = std::lower_bound(lines.rowLines.begin(), lines.rowLines.end(), c.top() - offset.y());
    const auto firstColumn =
        std::lower_bound(lines.columnLines.begin(), lines.columnLines.end(), c.left() - offset.x());
    const auto endColumn =
        std::upper_bound(firstColumn, lines.columnLines.end(), c.right() - offset.x());
    for (int y = c.top(); y <= c.bottom(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(bits + stride * y);
      while (row != lines.rowLines.end() && *row + offset.y() < y) ++row;
      if (row != lines.rowLines.end() && *row + offset.y() == y) {
        FillRun(line + c.left(), c.width(), pixel);
        continue;
      }
      for (auto x = firstColumn; x != endColumn; ++x) line[*x + offset.x()] = pixel;
    }
  }
}

}  // namespace rix
