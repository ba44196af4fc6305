#include "widgets/ColumnTextWidths.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <algorithm>

#include "platform/Big5.h"
#include "widgets/GridData.h"

namespace rix {

std::vector<int> WidestColumnTexts(const GridData& g, const QFont& font,
                                   const QPaintDevice* device) {
  const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
  const QFontMetricsF fmf = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
  // Sums come from a table (ASCII) and a memo (Big5 characters).
  double ascii[128];
  for (int b = 0; b < 128; ++b) ascii[b] = fmf.horizontalAdvance(QChar(b));
  std::vector<float> wide(126 * 256, -1.f);  // lead 0x81..0xFE, any trail
  auto wideAdvance = [&](unsigned char lead, unsigned char trail) -> double {
    float& w = wide[static_cast<size_t>(lead - 0x81) * 256 + trail];
    if (w < 0) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      w = static_cast<float>(fmf.horizontalAdvance(Big5Decode(QByteArrayView(pair, 2))));
    }
    return w;
  };
  auto sum = [&](QByteArrayView t) {
    double w = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
      if (p[i] < 0x80) {
        w += ascii[p[i]];
      } else if (p[i] >= 0x81 && p[i] <= 0xFE && i + 1 < n) {
        w += wideAdvance(p[i], p[i + 1]);
        ++i;
      } else {
        w += fmf.horizontalAdvance(Big5Decode(t.sliced(i, 1)));
      }
    }
    return w;
  };
  const int rows = g.rowCount();
  std::vector<int> widest(static_cast<size_t>(std::max(g.colCount(), 0)), 0);
  std::vector<double> sums(static_cast<size_t>(rows));
  for (int c = 0; c < g.colCount(); ++c) {
    double top = 0;
    for (int r = 0; r < rows; ++r) {
      const QByteArrayView t = g.cell(c, r);
      sums[static_cast<size_t>(r)] = t.isEmpty() ? 0 : sum(t);
      top = std::max(top, sums[static_cast<size_t>(r)]);
    }
    if (top <= 0) continue;
    // Shaping may round a little differently from the sum: measure every
    // text that could be the widest by that margin. Without kerning, texts
    // of equal advance sums are equally wide, so one of each is enough.
    const double reach = top - 2.0;
    int best = 0;
    std::vector<double> measured;
    for (int r = 0; r < rows; ++r) {
      const double w = sums[static_cast<size_t>(r)];
      if (w < reach || w <= best - 2.0) continue;
      if (std::find(measured.begin(), measured.end(), w) != measured.end()) continue;
      measured.push_back(w);
      best = std::max(best, fm.horizontalAdvance(Big5Decode(g.cell(c, r))));
    }
    widest[static_cast<size_t>(c)] = best;
  }
  return widest;
}

}  // namespace rix
