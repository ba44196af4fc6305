#include "widgets/Glyphs.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace rix {

namespace {

struct Drawing {
  const char* theme;
  void (*draw)(QPainter&);
};

void Pen(QPainter& p, QColor c, qreal w = 1.4) {
  p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
}

void Sheet(QPainter& p) {
  Pen(p, QColor(90, 90, 90), 1);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 1.5, 9, 13));
}

void Rows(QPainter& p, int skip) {
  for (int i = 0; i < 4; ++i) {
    if (i == skip) continue;
    p.fillRect(QRectF(2, 2.5 + i * 3.3, 12, 2), QColor(70, 110, 170));
  }
}

const QHash<QString, Drawing>& Drawings() {
  static const QHash<QString, Drawing> d = {
      {"edit",
       {"document-edit",
        [](QPainter& p) {
          Sheet(p);
          Pen(p, QColor(200, 120, 20), 2.2);
          p.drawLine(QPointF(6, 11), QPointF(13, 4));
          Pen(p, QColor(60, 60, 60), 1);
          p.drawLine(QPointF(4.5, 12.5), QPointF(6, 11));
        }}},
      {"reload",
       {"view-refresh",
        [](QPainter& p) {
          Pen(p, QColor(30, 120, 40), 2);
          p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 280 * 16);
          p.setBrush(QColor(30, 120, 40));
          p.setPen(Qt::NoPen);
          p.drawPolygon(QPolygonF({QPointF(10, 1.5), QPointF(14.5, 4.5), QPointF(9.5, 7)}));
        }}},
      {"save",
       {"document-save",
        [](QPainter& p) {
          p.fillRect(QRectF(2, 2, 12, 12), QColor(40, 70, 150));
          p.fillRect(QRectF(4, 2, 8, 5), Qt::white);
          p.fillRect(QRectF(5, 10, 6, 4), QColor(190, 190, 190));
        }}},
      {"html",
       {"text-html",
        [](QPainter& p) {
          Pen(p, QColor(20, 90, 170), 1.3);
          p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
          p.drawEllipse(QRectF(5.5, 2.5, 5, 11));
          p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        }}},
      {"find",
       {"edit-find",
        [](QPainter& p) {
          Pen(p, QColor(50, 50, 50), 1.6);
          p.drawEllipse(QRectF(2.5, 2.5, 7, 7));
          Pen(p, QColor(120, 70, 20), 2.6);
          p.drawLine(QPointF(9, 9), QPointF(13.5, 13.5));
        }}},
      {"findnext",
       {"go-next",
        [](QPainter& p) {
          Pen(p, QColor(50, 50, 50), 1.4);
          p.drawEllipse(QRectF(1.5, 1.5, 6, 6));
          p.drawLine(QPointF(6.5, 6.5), QPointF(9, 9));
          p.setBrush(QColor(30, 120, 40));
          p.setPen(Qt::NoPen);
          p.drawPolygon(QPolygonF({QPointF(9, 8), QPointF(15, 11.5), QPointF(9, 15)}));
        }}},
      {"automake",
       {"document-new",
        [](QPainter& p) {
          Sheet(p);
          p.setPen(Qt::NoPen);
          p.setBrush(QColor(230, 180, 0));
          QPainterPath star;
          for (int i = 0; i < 10; ++i) {
            const qreal r = (i % 2) ? 1.6 : 4.0;
            const qreal a = i * 3.14159265 / 5 - 3.14159265 / 2;
            const QPointF pt(11.5 + r * std::cos(a), 11.5 + r * std::sin(a));
            if (i == 0)
              star.moveTo(pt);
            else
              star.lineTo(pt);
          }
          star.closeSubpath();
          p.drawPath(star);
        }}},
      {"insertrow",
       {"list-add",
        [](QPainter& p) {
          Rows(p, 1);
          Pen(p, QColor(30, 130, 40), 2);
          p.drawLine(QPointF(8, 4.5), QPointF(8, 10.5));
          p.drawLine(QPointF(5, 7.5), QPointF(11, 7.5));
        }}},
      {"deleterow",
       {"list-remove",
        [](QPainter& p) {
          Rows(p, 1);
          Pen(p, QColor(190, 30, 30), 2);
          p.drawLine(QPointF(5, 7.5), QPointF(11, 7.5));
        }}},
      {"clearrow",
       {"edit-clear",
        [](QPainter& p) {
          Rows(p, -1);
          p.fillRect(QRectF(2, 5.8, 12, 2), Qt::white);
          Pen(p, QColor(120, 120, 120), 1);
          p.drawRect(QRectF(2.5, 6.3, 11, 1.4));
        }}},
      {"clearall",
       {"edit-delete",
        [](QPainter& p) {
          Pen(p, QColor(120, 120, 120), 1);
          p.setBrush(Qt::white);
          p.drawRect(QRectF(2.5, 2.5, 11, 11));
          Pen(p, QColor(190, 30, 30), 2);
          p.drawLine(QPointF(5, 5), QPointF(11, 11));
          p.drawLine(QPointF(11, 5), QPointF(5, 11));
        }}},
      {"print",
       {"document-print",
        [](QPainter& p) {
          p.fillRect(QRectF(4, 2, 8, 4), Qt::white);
          Pen(p, QColor(80, 80, 80), 1);
          p.drawRect(QRectF(4.5, 2.5, 7, 4));
          p.setBrush(QColor(150, 150, 160));
          p.drawRect(QRectF(1.5, 6.5, 13, 5));
          p.setBrush(Qt::white);
          p.drawRect(QRectF(4.5, 10.5, 7, 4));
        }}},
      {"open",
       {"document-open",
        [](QPainter& p) {
          p.setPen(QPen(QColor(150, 110, 20), 1));
          p.setBrush(QColor(240, 200, 80));
          p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(6, 4.5), QPointF(7, 6),
                                   QPointF(14.5, 6), QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
        }}},
      {"undo",
       {"edit-undo",
        [](QPainter& p) {
          Pen(p, QColor(40, 70, 150), 2);
          p.drawArc(QRectF(4, 4, 9, 9), 90 * 16, -200 * 16);
          p.setBrush(QColor(40, 70, 150));
          p.setPen(Qt::NoPen);
          p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(7, 1), QPointF(7, 8)}));
        }}},
      {"redo",
       {"edit-redo",
        [](QPainter& p) {
          Pen(p, QColor(40, 70, 150), 2);
          p.drawArc(QRectF(3, 4, 9, 9), 90 * 16, 200 * 16);
          p.setBrush(QColor(40, 70, 150));
          p.setPen(Qt::NoPen);
          p.drawPolygon(QPolygonF({QPointF(14.5, 4.5), QPointF(9, 1), QPointF(9, 8)}));
        }}},
      {"selectall",
       {"edit-select-all",
        [](QPainter& p) {
          Sheet(p);
          p.fillRect(QRectF(5, 4, 6, 8), QColor(70, 110, 200));
        }}},
      {"copy",
       {"edit-copy",
        [](QPainter& p) {
          Pen(p, QColor(90, 90, 90), 1);
          p.setBrush(Qt::white);
          p.drawRect(QRectF(1.5, 1.5, 8, 10));
          p.drawRect(QRectF(6.5, 4.5, 8, 10));
        }}},
      {"cut",
       {"edit-cut",
        [](QPainter& p) {
          Pen(p, QColor(60, 60, 60), 1.3);
          p.drawEllipse(QRectF(2, 10, 4, 4));
          p.drawEllipse(QRectF(10, 10, 4, 4));
          p.drawLine(QPointF(5, 10), QPointF(11, 2));
          p.drawLine(QPointF(11, 10), QPointF(5, 2));
        }}},
      {"paste",
       {"edit-paste",
        [](QPainter& p) {
          p.fillRect(QRectF(2, 3, 10, 12), QColor(190, 140, 60));
          Pen(p, QColor(90, 90, 90), 1);
          p.setBrush(Qt::white);
          p.drawRect(QRectF(6.5, 6.5, 8, 8));
        }}},
      {"replace",
       {"edit-find-replace",
        [](QPainter& p) {
          Pen(p, QColor(50, 50, 50), 1.4);
          p.drawEllipse(QRectF(1.5, 1.5, 6, 6));
          p.drawLine(QPointF(6.5, 6.5), QPointF(8.5, 8.5));
          Pen(p, QColor(190, 30, 30), 1.6);
          p.drawLine(QPointF(9, 12), QPointF(15, 12));
          p.drawLine(QPointF(12, 9), QPointF(15, 12));
        }}},
      {"goto",
       {"go-jump",
        [](QPainter& p) {
          Pen(p, QColor(30, 120, 40), 2);
          p.drawLine(QPointF(2, 8), QPointF(12, 8));
          p.drawLine(QPointF(9, 5), QPointF(12, 8));
          p.drawLine(QPointF(9, 11), QPointF(12, 8));
          Pen(p, QColor(60, 60, 60), 1.2);
          p.drawLine(QPointF(14, 3), QPointF(14, 13));
        }}},
      {"insertfile",
       {"insert-text",
        [](QPainter& p) {
          Sheet(p);
          Pen(p, QColor(30, 130, 40), 2);
          p.drawLine(QPointF(8, 5), QPointF(8, 11));
          p.drawLine(QPointF(5, 8), QPointF(11, 8));
        }}},
      {"appendfile",
       {"list-add",
        [](QPainter& p) {
          Sheet(p);
          Pen(p, QColor(30, 130, 40), 2);
          p.drawLine(QPointF(8, 9), QPointF(8, 14));
          p.drawLine(QPointF(5.5, 11.5), QPointF(8, 14));
          p.drawLine(QPointF(10.5, 11.5), QPointF(8, 14));
        }}},
      {"wrap",
       {"format-justify-left",
        [](QPainter& p) {
          Pen(p, QColor(50, 50, 50), 1.4);
          p.drawLine(QPointF(2, 3.5), QPointF(14, 3.5));
          p.drawLine(QPointF(2, 7.5), QPointF(11, 7.5));
          p.drawArc(QRectF(8, 7.5, 6, 5), 90 * 16, -180 * 16);
          p.drawLine(QPointF(2, 12.5), QPointF(8, 12.5));
        }}},
  };
  return d;
}

QPixmap Lamp(QColor core, QColor glow) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(110, 110, 110), 1.5));
  p.setBrush(QColor(200, 200, 200));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  QRadialGradient g(QPointF(6.5, 6.5), 6);
  g.setColorAt(0, glow);
  g.setColorAt(1, core);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
  return pm;
}

}  // namespace

namespace {

// Looks the theme up and draws the fallback only when the icon is first
// shown: most buttons (the documentation toolbar's, on a hidden tab) cost a
// start nothing. Once looked up, the icon is the one QIcon::fromTheme with
// the drawing as its fallback would have given.
class LazyGlyphEngine : public QIconEngine {
public:
  explicit LazyGlyphEngine(const Drawing& d) : drawing_(d) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    return icon().pixmap(size, scale, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return icon().availableSizes(mode, state);
  }
  QString iconName() override { return QString::fromLatin1(drawing_.theme); }
  bool isNull() override { return false; }  // the drawing is there in any case
  QString key() const override { return QStringLiteral("RixLazyGlyph"); }
  QIconEngine* clone() const override { return new LazyGlyphEngine(*this); }

private:
  const QIcon& icon() {
    if (resolved_) return icon_;
    resolved_ = true;
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
      QPainter p(&pm);
      p.setRenderHint(QPainter::Antialiasing);
      drawing_.draw(p);
    }
    icon_ = QIcon::fromTheme(QString::fromLatin1(drawing_.theme), QIcon(pm));
    return icon_;
  }

  Drawing drawing_;
  bool resolved_ = false;
  QIcon icon_;
};

}  // namespace

QIcon Glyphs::Toolbar(const QString& kind) {
  const auto it = Drawings().find(kind);
  if (it == Drawings().end()) return {};
  return QIcon(new LazyGlyphEngine(*it));
}

QPixmap Glyphs::LampOff() { return Lamp(QColor(30, 80, 30), QColor(70, 120, 70)); }

QPixmap Glyphs::LampOn() { return Lamp(QColor(0, 170, 0), QColor(180, 255, 160)); }

}  // namespace rix
