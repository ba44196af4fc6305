#include "banner/AboutArtworkDrawing.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "widgets/FontSetup.h"

namespace rix {

namespace {

const QList<QRgb>& SixteenColours() {
  static const QList<QRgb> kColours = {
      qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  return kColours;
}

constexpr int kWidth = 300;
constexpr int kHeight = 200;

enum Pen16 {
  kBlack,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGray,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite
};

QColor C(Pen16 i) { return QColor::fromRgb(SixteenColours()[i]); }

int Nearest(int r, int g, int b) {
  const auto& pal = SixteenColours();
  int best = 0;
  int bestDist = 1 << 30;
  for (int i = 0; i < pal.size(); ++i) {
    const int dr = qRed(pal[i]) - r;
    const int dg = qGreen(pal[i]) - g;
    const int db = qBlue(pal[i]) - b;
    const int dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = i;
    }
  }
  return best;
}

// Ordered (Bayer) dithering into the sixteen colours, the way pictures of that
// palette carried their gradients.
QImage Dither(const QImage& src) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  QImage out(src.size(), QImage::Format_Indexed8);
  out.setColorTable(SixteenColours());
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    uchar* line = out.scanLine(y);
    for (int x = 0; x < src.width(); ++x) {
      const int t = (kBayer[y & 3][x & 3] * 2 - 15) * 4;
      line[x] = static_cast<uchar>(Nearest(std::clamp(qRed(in[x]) + t, 0, 255),
                                           std::clamp(qGreen(in[x]) + t, 0, 255),
                                           std::clamp(qBlue(in[x]) + t, 0, 255)));
    }
  }
  return out;
}

void PaintBackdrop(QImage& img) {
  QPainter p(&img);
  QLinearGradient sky(0, 0, 0, 130);
  sky.setColorAt(0.0, QColor(0, 0, 40));
  sky.setColorAt(0.6, QColor(40, 0, 100));
  sky.setColorAt(1.0, QColor(150, 20, 110));
  p.fillRect(0, 0, kWidth, 130, sky);
  QLinearGradient ground(0, 130, 0, kHeight);
  ground.setColorAt(0.0, QColor(30, 0, 50));
  ground.setColorAt(1.0, QColor(0, 0, 20));
  p.fillRect(0, 130, kWidth, kHeight - 130, ground);
  // A low sun sinking behind the horizon.
  QRadialGradient sun(236, 128, 46);
  sun.setColorAt(0.0, QColor(255, 230, 60));
  sun.setColorAt(0.7, QColor(255, 90, 40));
  sun.setColorAt(1.0, QColor(255, 90, 40, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawPie(QRect(190, 82, 92, 92), 0, 180 * 16);
}

// Bold Arial, drawn hard-edged and unhinted, so the sixteen-colour picture
// holds no in-between shades.
QFont BlockFont(int pixels) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixels);
  f.setBold(true);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

void PaintLineArt(QImage& img) {
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);

  // Stars from a fixed sequence, so the picture is the same every time.
  quint32 seed = 0x52495846u;
  for (int i = 0; i < 70; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const int x = static_cast<int>((seed >> 8) % kWidth);
    seed = seed * 1664525u + 1013904223u;
    const int y = static_cast<int>((seed >> 8) % 118);
    p.setPen(C((i % 5 == 0) ? kWhite : (i % 3 == 0 ? kAqua : kSilver)));
    p.drawPoint(x, y);
  }

  // Horizon and the grid receding to a vanishing point.
  p.setPen(C(kFuchsia));
  p.drawLine(0, 130, kWidth - 1, 130);
  const QPoint vanish(150, 112);
  for (int x = -300; x <= 600; x += 40) {
    const double t = (130.0 - vanish.y()) / (kHeight - vanish.y());
    p.drawLine(QPointF(vanish.x() + (x - vanish.x()) * t, 130), QPointF(x, kHeight));
  }
  for (int i = 1; i < 8; ++i) {
    const int y = 130 + (i * i * (kHeight - 130)) / 49;
    p.drawLine(0, y, kWidth - 1, y);
  }

  // A joystick on its base, lower left.
  p.setPen(C(kBlack));
  p.setBrush(C(kGray));
  p.drawRect(22, 160, 62, 22);
  p.setBrush(C(kSilver));
  p.drawRect(22, 156, 62, 6);
  p.setBrush(C(kRed));
  p.drawEllipse(QPoint(74, 166), 5, 4);
  p.setBrush(C(kGray));
  p.drawRect(44, 122, 6, 36);
  p.setBrush(C(kRed));
  p.drawEllipse(QPoint(47, 118), 10, 10);
  p.setPen(C(kWhite));
  p.drawPoint(43, 113);
  p.drawPoint(44, 113);
  p.drawPoint(43, 114);

  // The program's name in shadowed block letters.
  p.setFont(BlockFont(34));
  const QRect band(0, 18, kWidth, 44);
  const QString name = QStringLiteral("RIX FrontEnd");
  p.setPen(C(kMaroon));
  p.drawText(band.translated(3, 3), Qt::AlignHCenter | Qt::AlignVCenter, name);
  p.setPen(C(kRed));
  p.drawText(band.translated(2, 2), Qt::AlignHCenter | Qt::AlignVCenter, name);
  p.setPen(C(kYellow));
  p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, name);

  p.setFont(BlockFont(12));
  p.setPen(C(kAqua));
  p.drawText(QRect(0, 62, kWidth, 16), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("emulator front end"));
}

}  // namespace

QImage DrawAboutArtwork() {
  // The title is set in Arial, which must mean the same face wherever this runs.
  InstallFontSubstitutions();
  QImage backdrop(kWidth, kHeight, QImage::Format_RGB32);
  PaintBackdrop(backdrop);
  // Line art goes on after dithering so that it stays crisp, in palette
  // colours only; the final conversion then maps every pixel exactly.
  QImage art = Dither(backdrop).convertToFormat(QImage::Format_RGB32);
  PaintLineArt(art);
  return art.convertToFormat(QImage::Format_Indexed8, SixteenColours(), Qt::ThresholdDither);
}

}  // namespace rix
