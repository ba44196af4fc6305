#include "widgets/ColumnTextWidths.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "platform/Big5.h"
#include "widgets/GridData.h"
#include "widgets/StringGridModel.h"

namespace rix {

namespace {

// Pairs of printable ASCII characters (first * 128 + second) whose shaped
// width differs from the sum of their advances (ligatures, kerning); found
// once per font and device.
const std::vector<bool>& ShapedAsciiPairs(const QFont& font, const QPaintDevice* device,
                                          const QFontMetricsF& fmf, const double* ascii) {
  static QHash<QString, std::vector<bool>> cache;
  const QString key = font.key() + u'@' +
                      (device ? QString::number(device->logicalDpiX()) + u'x' +
                                    QString::number(device->logicalDpiY())
                              : QStringLiteral("screen"));
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  std::vector<bool> shaped(128 * 128, false);
  for (char16_t a = 0x20; a < 0x7F; ++a) {
    for (char16_t b = 0x20; b < 0x7F; ++b) {
      const QChar pair[2] = {QChar(a), QChar(b)};
      shaped[a * 128 + b] = fmf.horizontalAdvance(QString(pair, 2)) != ascii[a] + ascii[b];
    }
  }
  return *cache.insert(key, std::move(shaped));
}

}  // namespace

std::vector<int> WidestColumnTexts(const GridData& g, const QFont& font,
                                   const QPaintDevice* device) {
  const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
  const QFontMetricsF fmf = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
  // Advances are whole 64ths of a pixel, so their sums are kept as integers
  // of that unit: the same values as summed reals, at a fraction of the work.
  auto units = [](double advance) { return static_cast<std::int64_t>(std::llround(advance * 64)); };
  // Sums come from a table (ASCII) and a memo (Big5 characters). A printable
  // ASCII text without a pair that the font shapes otherwise is as wide as its
  // sum, so only other texts are shaped, which lets a million columns fit in
  // a moment.
  double ascii[128];
  for (int b = 0; b < 128; ++b) ascii[b] = fmf.horizontalAdvance(QChar(b));
  const std::vector<bool>& shapedPairs = ShapedAsciiPairs(font, device, fmf, ascii);
  std::int64_t asciiUnits[128];
  for (int b = 0; b < 128; ++b) asciiUnits[b] = units(ascii[b]);
  // pairInexact[previous * 128 + byte]: the byte is not printable, or the
  // pair is shaped otherwise; previous 0 stands for the start of the text.
  std::vector<unsigned char> pairInexact(128 * 128);
  for (int a = 0; a < 128; ++a) {
    for (int b = 0; b < 128; ++b) {
      const bool printable = b >= 0x20 && b < 0x7F;
      pairInexact[static_cast<size_t>(a) * 128 + b] =
          !printable || (a != 0 && shapedPairs[static_cast<size_t>(a) * 128 + b]);
    }
  }
  std::vector<std::int32_t> wide(126 * 256, -1);  // lead 0x81..0xFE, any trail
  auto wideUnits = [&](unsigned char lead, unsigned char trail) -> std::int64_t {
    std::int32_t& w = wide[static_cast<size_t>(lead - 0x81) * 256 + trail];
    if (w < 0) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      w = static_cast<std::int32_t>(
          units(fmf.horizontalAdvance(Big5Decode(QByteArrayView(pair, 2)))));
    }
    return w;
  };
  std::int64_t single[256];  // a high byte that starts no character here
  std::fill(std::begin(single), std::end(single), -1);
  // The advance sum of a text, times two, plus one when it is the text's
  // width as it stands.
  auto sum = [&](const unsigned char* p, qsizetype n) {
    std::int64_t w = 0;
    unsigned inexact = 0;
    unsigned prev = 0;
    for (qsizetype i = 0; i < n;) {
      const unsigned c = p[i];
      if (c < 0x80) {
        w += asciiUnits[c];
        inexact |= pairInexact[prev * 128 + c];
        prev = c;
        ++i;
      } else if (c >= 0x81 && c <= 0xFE && i + 1 < n) {
        w += wideUnits(static_cast<unsigned char>(c), p[i + 1]);
        inexact = 1;
        i += 2;
      } else {
        if (single[c] < 0) {
          const char one = static_cast<char>(c);
          single[c] = units(fmf.horizontalAdvance(Big5Decode(QByteArrayView(&one, 1))));
        }
        w += single[c];
        inexact = 1;
        ++i;
      }
    }
    return w * 2 + (inexact ? 0 : 1);
  };
  const int rows = g.rowCount();
  const int cols = std::max(g.colCount(), 0);
  const char* arena = g.arenaBase();
  auto text = [&](int c, int r) {
    int stored = 0;
    const GridData::CellRef* cells = g.rowCells(r, &stored);
    if (c >= stored) return QByteArrayView();
    // A very long cell is shown, and so measured, by its first part only.
    const QByteArrayView t(arena + cells[c].off, cells[c].len);
    return t.size() > kDisplayBytes ? DisplayPart(t) : t;
  };
  std::vector<int> widest(static_cast<size_t>(cols), 0);
  std::vector<std::int64_t> sums(static_cast<size_t>(rows));
  std::vector<std::int64_t> measured;
  constexpr std::int64_t kMargin = 2 * 64;  // two pixels
  for (int c = 0; c < cols; ++c) {
    std::int64_t top = 0;
    for (int r = 0; r < rows; ++r) {
      const QByteArrayView t = text(c, r);
      const std::int64_t s =
          t.isEmpty() ? 1 : sum(reinterpret_cast<const unsigned char*>(t.data()), t.size());
      sums[static_cast<size_t>(r)] = s;
      top = std::max(top, s >> 1);
    }
    if (top <= 0) continue;
    // Shaping may round a little differently from the sum: measure every
    // text that could be the widest by that margin. Without kerning, texts
    // of equal advance sums are equally wide, so one of each is enough.
    const std::int64_t reach = top - kMargin;
    int best = 0;
    measured.clear();
    for (int r = 0; r < rows; ++r) {
      const std::int64_t w = sums[static_cast<size_t>(r)] >> 1;
      if (w < reach || w <= std::int64_t(best) * 64 - kMargin) continue;
      if (sums[static_cast<size_t>(r)] & 1) {
        best = std::max(best, static_cast<int>((w + 32) >> 6));  // rounded half up
        continue;
      }
      if (std::find(measured.begin(), measured.end(), w) != measured.end()) continue;
      measured.push_back(w);
      best = std::max(best, fm.horizontalAdvance(Big5Decode(text(c, r))));
    }
    widest[static_cast<size_t>(c)] = best;
  }
  return widest;
}

}  // namespace rix
