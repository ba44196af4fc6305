#include "widgets/ColourQuantizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace rix {

namespace {

constexpr int kSide = 32;  // 5 bits per channel
constexpr int kBins = kSide * kSide * kSide;

int BinOf(QRgb c) { return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3); }
int BinAt(int r, int g, int b) { return (r << 10) | (g << 5) | b; }

// Indexes every pixel by its exact colour; false as soon as there are more
// colours than allowed.
bool IndexExactly(const QImage& rgb, int maxColours, QImage& out) {
  // Open addressing, at most 256 entries in 1024 slots.
  constexpr int kSlots = 1024;
  std::array<QRgb, kSlots> keys{};
  std::array<int, kSlots> values;
  values.fill(-1);
  QList<QRgb> table;
  QRgb last = 0;
  int lastIndex = -1;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* dst = out.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = src[x] | 0xFF000000u;
      if (c != last || lastIndex < 0) {
        unsigned slot = (c * 2654435761u) >> 22;
        while (values[slot] >= 0 && keys[slot] != c) slot = (slot + 1) & (kSlots - 1);
        if (values[slot] < 0) {
          if (table.size() == maxColours) return false;
          keys[slot] = c;
          values[slot] = int(table.size());
          table.append(c);
        }
        last = c;
        lastIndex = values[slot];
      }
      dst[x] = uchar(lastIndex);
    }
  }
  out.setColorTable(table);
  return true;
}

struct Histogram {
  std::vector<uint32_t> count = std::vector<uint32_t>(kBins, 0);
  std::vector<std::array<uint64_t, 3>> sum = std::vector<std::array<uint64_t, 3>>(kBins);
};

struct Box {
  int lo[3] = {0, 0, 0};
  int hi[3] = {kSide - 1, kSide - 1, kSide - 1};
  uint64_t pixels = 0;

  int longestAxis() const {
    int axis = 0;
    for (int a = 1; a < 3; ++a)
      if (hi[a] - lo[a] > hi[axis] - lo[axis]) axis = a;
    return axis;
  }
  bool splittable() const { return hi[0] > lo[0] || hi[1] > lo[1] || hi[2] > lo[2]; }
  uint64_t score() const {
    const int axis = longestAxis();
    return pixels * uint64_t(hi[axis] - lo[axis]);
  }
};

template <typename Fn>
void ForEachBin(const Box& b, Fn fn) {
  for (int r = b.lo[0]; r <= b.hi[0]; ++r)
    for (int g = b.lo[1]; g <= b.hi[1]; ++g)
      for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) fn(r, g, bl, BinAt(r, g, bl));
}

// Narrows the box to the bins that hold pixels and counts them.
void Shrink(Box& box, const Histogram& h) {
  int lo[3] = {kSide, kSide, kSide};
  int hi[3] = {-1, -1, -1};
  uint64_t pixels = 0;
  ForEachBin(box, [&](int r, int g, int b, int bin) {
    if (!h.count[bin]) return;
    const int c[3] = {r, g, b};
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], c[a]);
      hi[a] = std::max(hi[a], c[a]);
    }
    pixels += h.count[bin];
  });
  for (int a = 0; a < 3; ++a) {
    box.lo[a] = lo[a];
    box.hi[a] = hi[a];
  }
  box.pixels = pixels;
}

// Cuts the box at the median of its pixels along its longest side.
std::pair<Box, Box> Split(const Box& box, const Histogram& h) {
  const int axis = box.longestAxis();
  std::array<uint64_t, kSide> along{};
  ForEachBin(box, [&](int r, int g, int b, int bin) {
    const int c[3] = {r, g, b};
    along[c[axis]] += h.count[bin];
  });
  uint64_t seen = 0;
  int cut = box.lo[axis];
  for (int i = box.lo[axis]; i < box.hi[axis]; ++i) {
    seen += along[i];
    cut = i;
    if (seen * 2 >= box.pixels) break;
  }
  Box a = box, b = box;
  a.hi[axis] = cut;
  b.lo[axis] = cut + 1;
  Shrink(a, h);
  Shrink(b, h);
  return {a, b};
}

QImage MedianCut(const QImage& rgb, int maxColours) {
  Histogram h;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = src[x];
      const int bin = BinOf(c);
      ++h.count[bin];
      h.sum[bin][0] += qRed(c);
      h.sum[bin][1] += qGreen(c);
      h.sum[bin][2] += qBlue(c);
    }
  }

  std::vector<Box> boxes(1);
  Shrink(boxes[0], h);
  while (int(boxes.size()) < maxColours) {
    auto best = boxes.end();
    for (auto it = boxes.begin(); it != boxes.end(); ++it)
      if (it->splittable() && (best == boxes.end() || it->score() > best->score())) best = it;
    if (best == boxes.end()) break;
    auto [a, b] = Split(*best, h);
    *best = a;
    boxes.push_back(b);
  }

  // Boxes never overlap, so each occupied bin belongs to exactly one.
  std::vector<uchar> indexOfBin(kBins, 0);
  QList<QRgb> table;
  for (const Box& box : boxes) {
    uint64_t s[3] = {0, 0, 0};
    ForEachBin(box, [&](int, int, int, int bin) {
      if (!h.count[bin]) return;
      indexOfBin[bin] = uchar(table.size());
      for (int a = 0; a < 3; ++a) s[a] += h.sum[bin][a];
    });
    const uint64_t n = std::max<uint64_t>(box.pixels, 1);
    table.append(qRgb(int((s[0] + n / 2) / n), int((s[1] + n / 2) / n), int((s[2] + n / 2) / n)));
  }

  QImage out(rgb.size(), QImage::Format_Indexed8);
  if (out.isNull()) return {};
  out.setColorTable(table);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* dst = out.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) dst[x] = indexOfBin[BinOf(src[x])];
  }
  return out;
}

}  // namespace

QImage ColourQuantizer::Quantize(const QImage& image, int maxColours) {
  if (image.isNull()) return {};
  maxColours = std::clamp(maxColours, 1, 256);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (rgb.isNull()) return {};
  QImage exact(rgb.size(), QImage::Format_Indexed8);
  if (exact.isNull()) return {};
  if (IndexExactly(rgb, maxColours, exact)) return exact;
  return MedianCut(rgb, maxColours);
}

}  // namespace rix
