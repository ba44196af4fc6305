#include "widgets/ColourQuantizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rix {

namespace {

constexpr int kSide = 32;  // 5 bits per channel
constexpr int kBins = kSide * kSide * kSide;

int BinOf(QRgb c) { return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3); }

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

// Pixels per 5-bit bin and the sums of their channels, and the bins that
// hold any, in the order first met.
struct Histogram {
  std::unique_ptr<uint32_t[]> count = std::make_unique<uint32_t[]>(kBins);
  std::unique_ptr<std::array<uint64_t, 3>[]> sum =
      std::make_unique<std::array<uint64_t, 3>[]>(kBins);
  std::vector<int> occupied;
};

int Channel(int bin, int axis) { return (bin >> (10 - 5 * axis)) & (kSide - 1); }

// A box of the colour cube: the occupied bins [begin, end) of a shared list,
// and the bounds they span.
struct Box {
  size_t begin = 0, end = 0;
  int lo[3] = {0, 0, 0};
  int hi[3] = {0, 0, 0};
  uint64_t pixels = 0;

  int longestAxis() const {
    int axis = 0;
    for (int a = 1; a < 3; ++a)
      if (hi[a] - lo[a] > hi[axis] - lo[axis]) axis = a;
    return axis;
  }
  bool splittable() const { return end - begin > 1; }
  uint64_t score() const {
    const int axis = longestAxis();
    return pixels * uint64_t(hi[axis] - lo[axis]);
  }
};

// Sets the bounds and the pixel count from the box's bins.
void Measure(Box& box, const std::vector<int>& bins, const Histogram& h) {
  for (int a = 0; a < 3; ++a) {
    box.lo[a] = kSide;
    box.hi[a] = -1;
  }
  box.pixels = 0;
  for (size_t i = box.begin; i < box.end; ++i) {
    const int bin = bins[i];
    for (int a = 0; a < 3; ++a) {
      box.lo[a] = std::min(box.lo[a], Channel(bin, a));
      box.hi[a] = std::max(box.hi[a], Channel(bin, a));
    }
    box.pixels += h.count[bin];
  }
}

// Cuts the box at the median of its pixels along its longest side.
std::pair<Box, Box> Split(const Box& box, std::vector<int>& bins, const Histogram& h) {
  const int axis = box.longestAxis();
  std::array<uint64_t, kSide> along{};
  for (size_t i = box.begin; i < box.end; ++i) along[Channel(bins[i], axis)] += h.count[bins[i]];
  uint64_t seen = 0;
  int cut = box.lo[axis];
  for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
    seen += along[v];
    cut = v;
    if (seen * 2 >= box.pixels) break;
  }
  const auto middle = std::partition(bins.begin() + box.begin, bins.begin() + box.end,
                                     [&](int bin) { return Channel(bin, axis) <= cut; });
  Box a = box, b = box;
  a.end = b.begin = size_t(middle - bins.begin());
  Measure(a, bins, h);
  Measure(b, bins, h);
  return {a, b};
}

QImage MedianCut(const QImage& rgb, int maxColours) {
  Histogram h;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = src[x];
      const int bin = BinOf(c);
      if (h.count[bin]++ == 0) h.occupied.push_back(bin);
      h.sum[bin][0] += qRed(c);
      h.sum[bin][1] += qGreen(c);
      h.sum[bin][2] += qBlue(c);
    }
  }
  std::vector<int>& bins = h.occupied;

  std::vector<Box> boxes(1);
  boxes[0].end = bins.size();
  Measure(boxes[0], bins, h);
  while (int(boxes.size()) < maxColours) {
    auto best = boxes.end();
    for (auto it = boxes.begin(); it != boxes.end(); ++it)
      if (it->splittable() && (best == boxes.end() || it->score() > best->score())) best = it;
    if (best == boxes.end()) break;
    auto [a, b] = Split(*best, bins, h);
    *best = a;
    boxes.push_back(b);
  }

  const auto indexOfBin = std::make_unique<uchar[]>(kBins);
  QList<QRgb> table;
  for (const Box& box : boxes) {
    uint64_t s[3] = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
      indexOfBin[bins[i]] = uchar(table.size());
      for (int a = 0; a < 3; ++a) s[a] += h.sum[bins[i]][a];
    }
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
