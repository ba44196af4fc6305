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

// Whether the font shapes a pair of ASCII bytes (first * 128 + second)
// otherwise than the sum of their advances (ligatures, kerning): 0 not yet
// known, 1 no, 2 yes, or not a pair of printable characters. Pairs are
// found out as texts meet them and kept per font and device, so a start
// measures only the pairs its texts hold.
std::vector<unsigned char>& AsciiPairShapes(const QFont& font, const QPaintDevice* device) {
  static QHash<QString, std::vector<unsigned char>> cache;
  const QString key = font.key() + u'@' +
                      (device ? QString::number(device->logicalDpiX()) + u'x' +
                                    QString::number(device->logicalDpiY())
                              : QStringLiteral("screen"));
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  std::vector<unsigned char> shapes(128 * 128, 2);
  for (int a = 0x20; a < 0x7F; ++a)
    for (int b = 0x20; b < 0x7F; ++b) shapes[static_cast<size_t>(a) * 128 + b] = 0;
  return *cache.insert(key, std::move(shapes));
}

}  // namespace

std::vector<int> WidestColumnTexts(const GridData& g, const QFont& font,
                                   const QPaintDevice* device) {
  const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
  const QFontMetricsF fmf = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
  // Advances are whole 64ths of a pixel, so their sums are kept as integers
  // of that unit: the same values as summed reals, at a fraction of the work.
  auto units = [](double advance) { return static_cast<std::int64_t>(std::llround(advance * 64)); };
  // Sums come from a table (ASCII) and a memo (Big5 characters); only texts
  // that could be a column's widest and are not as wide as their sum are
  // shaped, which lets a million columns fit in a moment.
  double ascii[128];
  for (int b = 0; b < 128; ++b) ascii[b] = fmf.horizontalAdvance(QChar(b));
  std::vector<unsigned char>& pairShapes = AsciiPairShapes(font, device);
  std::int64_t asciiUnits[128];
  for (int b = 0; b < 128; ++b) asciiUnits[b] = units(ascii[b]);
  // A text of printable ASCII holding no pair that the font shapes otherwise
  // is as wide as its advance sum.
  auto sumIsWidth = [&](QByteArrayView t) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    if (t.isEmpty()) return true;
    if (p[0] < 0x20 || p[0] >= 0x7F) return false;
    for (qsizetype i = 1; i < t.size(); ++i) {
      if (p[i] >= 0x80) return false;
      unsigned char& shape = pairShapes[static_cast<size_t>(p[i - 1]) * 128 + p[i]];
      if (shape == 0) {
        const QChar pair[2] = {QChar(p[i - 1]), QChar(p[i])};
        shape = fmf.horizontalAdvance(QString(pair, 2)) != ascii[p[i - 1]] + ascii[p[i]] ? 2 : 1;
      }
      if (shape == 2) return false;
    }
    return true;
  };
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
  // The advance sum of a text.
  auto sum = [&](const unsigned char* p, qsizetype n) {
    std::int64_t w = 0;
    for (qsizetype i = 0; i < n;) {
      const unsigned c = p[i];
      if (c < 0x80) {
        w += asciiUnits[c];
        ++i;
      } else if (c >= 0x81 && c <= 0xFE && i + 1 < n) {
        w += wideUnits(static_cast<unsigned char>(c), p[i + 1]);
        i += 2;
      } else {
        if (single[c] < 0) {
          const char one = static_cast<char>(c);
          single[c] = units(fmf.horizontalAdvance(Big5Decode(QByteArrayView(&one, 1))));
        }
        w += single[c];
        ++i;
      }
    }
    return w;
  };
  const int rows = g.rowCount();
  const int cols = std::max(g.colCount(), 0);
  auto text = [&](int c, int r) {
    const GridData::RowCells cells = g.rowCells(r);
    if (c >= cells.size()) return QByteArrayView();
    // A very long cell is shown, and so measured, by its first part only.
    const QByteArrayView t = cells.text(c);
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
      const std::int64_t s = sum(reinterpret_cast<const unsigned char*>(t.data()), t.size());
      sums[static_cast<size_t>(r)] = s;
      top = std::max(top, s);
    }
    if (top <= 0) continue;
    // Shaping may round a little differently from the sum: measure every
    // text that could be the widest by that margin. Without kerning, texts
    // of equal advance sums are equally wide, so one of each is enough.
    const std::int64_t reach = top - kMargin;
    int best = 0;
    measured.clear();
    for (int r = 0; r < rows; ++r) {
      const std::int64_t w = sums[static_cast<size_t>(r)];
      if (w < reach || w <= std::int64_t(best) * 64 - kMargin) continue;
      const QByteArrayView t = text(c, r);
      if (sumIsWidth(t)) {
        best = std::max(best, static_cast<int>((w + 32) >> 6));  // rounded half up
        continue;
      }
      if (std::find(measured.begin(), measured.end(), w) != measured.end()) continue;
      measured.push_back(w);
      best = std::max(best, fm.horizontalAdvance(Big5Decode(t)));
    }
    widest[static_cast<size_t>(c)] = best;
  }
  return widest;
}

}  // namespace rix
