#include "widgets/ColumnTextWidths.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

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
  // Sums come from a table (ASCII) and a memo (Big5 characters). A printable
  // ASCII text without a pair that the font shapes otherwise is as wide as its
  // sum, so only other texts are shaped, which lets a million columns fit in
  // a moment.
  double ascii[128];
  for (int b = 0; b < 128; ++b) ascii[b] = fmf.horizontalAdvance(QChar(b));
  const std::vector<bool>& shapedPairs = ShapedAsciiPairs(font, device, fmf, ascii);
  std::vector<float> wide(126 * 256, -1.f);  // lead 0x81..0xFE, any trail
  auto wideAdvance = [&](unsigned char lead, unsigned char trail) -> double {
    float& w = wide[static_cast<size_t>(lead - 0x81) * 256 + trail];
    if (w < 0) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      w = static_cast<float>(fmf.horizontalAdvance(Big5Decode(QByteArrayView(pair, 2))));
    }
    return w;
  };
  // The advance sum of a text, and whether it is the text's width as it stands.
  auto sum = [&](QByteArrayView t, bool* exact) {
    double w = 0;
    bool plain = true;
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
      if (p[i] < 0x80) {
        w += ascii[p[i]];
        plain = plain && p[i] >= 0x20 && p[i] < 0x7F &&
                (i == 0 || !shapedPairs[static_cast<size_t>(p[i - 1]) * 128 + p[i]]);
      } else if (p[i] >= 0x81 && p[i] <= 0xFE && i + 1 < n) {
        w += wideAdvance(p[i], p[i + 1]);
        ++i;
        plain = false;
      } else {
        w += fmf.horizontalAdvance(Big5Decode(t.sliced(i, 1)));
        plain = false;
      }
    }
    *exact = plain;
    return w;
  };
  const int rows = g.rowCount();
  std::vector<int> widest(static_cast<size_t>(std::max(g.colCount(), 0)), 0);
  std::vector<double> sums(static_cast<size_t>(rows));
  std::vector<char> exact(static_cast<size_t>(rows));
  std::vector<double> measured;
  for (int c = 0; c < g.colCount(); ++c) {
    double top = 0;
    for (int r = 0; r < rows; ++r) {
      // A very long cell is shown, and so measured, by its first part only.
      const QByteArrayView t = DisplayPart(g.cell(c, r));
      bool plain = true;
      sums[static_cast<size_t>(r)] = t.isEmpty() ? 0 : sum(t, &plain);
      exact[static_cast<size_t>(r)] = plain;
      top = std::max(top, sums[static_cast<size_t>(r)]);
    }
    if (top <= 0) continue;
    // Shaping may round a little differently from the sum: measure every
    // text that could be the widest by that margin. Without kerning, texts
    // of equal advance sums are equally wide, so one of each is enough.
    const double reach = top - 2.0;
    int best = 0;
    measured.clear();
    for (int r = 0; r < rows; ++r) {
      const double w = sums[static_cast<size_t>(r)];
      if (w < reach || w <= best - 2.0) continue;
      if (exact[static_cast<size_t>(r)]) {
        best = std::max(best, static_cast<int>(std::lround(w)));
        continue;
      }
      if (std::find(measured.begin(), measured.end(), w) != measured.end()) continue;
      measured.push_back(w);
      best = std::max(best, fm.horizontalAdvance(Big5Decode(DisplayPart(g.cell(c, r)))));
    }
    widest[static_cast<size_t>(c)] = best;
  }
  return widest;
}

}  // namespace rix
