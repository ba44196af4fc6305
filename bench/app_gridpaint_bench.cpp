// Painting the game list as the user pages through it: a 50,000-row list is
// selected in the window (lamps on half of the games), then PageDown is
// pressed again and again, each press timed from the key to the painted
// frame; and the scroll bar's thumb is dragged through the list, each move
// timed to its frame. The floor is drawing the texts of the same visible
// cells, laid out beforehand as QStaticText, into an image the viewport's
// size: what any grid must do to put those texts on screen.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchForm.h"
#include "BenchSupport.h"
#include "GameListFixture.h"
#include "app/TMainForm.h"
#include "platform/Big5.h"
#include "widgets/ScriptedDialogs.h"

namespace {

using rixbench::NowSeconds;

constexpr int kRows = 50000;

struct PlacedText {
  QPointF at;
  QStaticText text;
};

// The texts the grid shows now, each at its cell's text position, laid out.
std::vector<PlacedText> VisibleTexts(rix::StringGrid& g) {
  std::vector<PlacedText> out;
  QWidget* vp = g.viewport();
  const QFontMetrics fm(g.font());
  for (int y = 0; y < vp->height(); y += g.rowHeight(0)) {
    const QModelIndex first = g.indexAt(QPoint(0, y));
    if (!first.isValid()) break;
    for (int c = 0; c < g.colCount(); ++c) {
      const QModelIndex idx = first.siblingAtColumn(c);
      const QRect r = g.visualRect(idx);
      if (r.left() >= vp->width()) break;
      const QString text = idx.data(Qt::DisplayRole).toString();
      if (text.isEmpty()) continue;
      PlacedText t{QPointF(r.left() + 4, r.top() + (r.height() - fm.height()) / 2.0),
                   QStaticText(text)};
      t.text.setTextFormat(Qt::PlainText);
      t.text.prepare(QTransform(), g.font());
      out.push_back(std::move(t));
    }
  }
  return out;
}

double DrawFloor(const std::vector<PlacedText>& texts, QImage& canvas, const QFont& font) {
  const double t0 = NowSeconds();
  canvas.fill(Qt::white);
  QPainter p(&canvas);
  p.setFont(font);
  p.setPen(Qt::black);
  for (const PlacedText& t : texts) p.drawStaticText(t.at, t.text);
  p.end();
  return NowSeconds() - t0;
}

// Counts the viewport's paints, so that a measure ends with its frame.
class PaintWatch : public QObject {
public:
  explicit PaintWatch(QWidget* viewport) { viewport->installEventFilter(this); }
  int paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Delivers what is posted until the viewport has painted once more: the
// frame (the paint and its flush are one posted request). Timers are left
// for the idle time after it, as the event loop runs them after the frame.
void AwaitFrame(PaintWatch& watch, int before) {
  const double give_up = NowSeconds() + 1.0;
  QCoreApplication::sendPostedEvents();
  while (watch.paints == before && NowSeconds() < give_up)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void PageDown(rix::StringGrid& g, PaintWatch& watch) {
  const int before = watch.paints;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
  QApplication::sendEvent(&g, &press);
  QApplication::sendEvent(&g, &release);
  AwaitFrame(watch, before);
}

// What the event loop does once the frame is out, before the next key.
double Idle() {
  const double t0 = NowSeconds();
  QCoreApplication::processEvents();
  return NowSeconds() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  const QString appDir = tmp.path() + "/";
  const bool ok =
      tmp.isValid() &&
      rixbench::WriteBytes(appDir + "RixFront.ini",
                           rixbench::MakeCatalogue(rixbench::OneEmulator())) &&
      rixbench::WriteBytes(appDir + "EmuTree.ini", rixbench::MakeTree(1)) &&
      rixbench::WriteBytes(appDir + "lists/a.lst", rixbench::MakeGameList(kRows, "GameA")) &&
      rixbench::MakeGameDir(appDir + "games/", kRows, "GameA") && QDir().mkpath(appDir + "pics");
  if (!ok) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(tmp.path()));
    return 1;
  }
  // A user pages through a catalogue whose directories (the emulator's
  // picture directory among them) have stood for long: they are left to
  // stand as long as a directory must before the names read from it are
  // kept, so that the picture lookup at each key release reads what it
  // reads in use, not a directory made a moment ago.
  QThread::sleep(3);
  rix::ScriptedDialogs dialogs;
  auto form = rixbench::ShownForm(appDir, &dialogs);
  form->resize(1024, 768);
  QCoreApplication::processEvents();
  rix::StringGrid& g = *form->RomGrid;
  if (g.rowCount() != kRows + 1) std::printf("# warning: %d rows\n", g.rowCount() - 1);
  g.setFocus();
  g.setRow(1);
  QCoreApplication::processEvents();
  QImage canvas(g.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  PaintWatch watch(g.viewport());

  // PageDown, in turns with its floor; the first presses meet cold caches.
  std::vector<double> ours, floor, idle;
  for (int i = 0; i < 40; ++i) {
    const double t0 = NowSeconds();
    PageDown(g, watch);
    const double t = NowSeconds() - t0;
    const double f = DrawFloor(VisibleTexts(g), canvas, g.font());
    const double after = Idle();
    if (i < 5) continue;
    ours.push_back(t);
    floor.push_back(f);
    idle.push_back(after);
  }
  std::printf("# page_down_50k: %d x %d viewport, %zu texts a page\n", g.viewport()->width(),
              g.viewport()->height(), VisibleTexts(g).size());
  std::printf("# page_down_50k idle work after each frame: median %.3f ms\n",
              rixbench::Median(idle) * 1e3);
  rixbench::ReportMedians("page_down_50k", ours, floor, "ours_ms", "static_text_ms");
  {
    // The same page painted again, every text already laid out: what the
    // frame costs beside the layout of the cells a page brings.
    std::vector<double> again;
    for (int i = 0; i < 30; ++i) {
      const double t0 = NowSeconds();
      g.viewport()->repaint();
      again.push_back(NowSeconds() - t0);
    }
    std::printf("# page_down_50k the same page painted again: median %.3f ms\n",
                rixbench::Median(again) * 1e3);
  }

  // The thumb dragged from the top to the bottom in steps of about a page and
  // a half, as a quick hand moves it.
  QScrollBar* bar = g.verticalScrollBar();
  std::vector<double> frames, frameFloor;
  for (int round = 0; round < 3; ++round) {
    bar->setSliderDown(true);
    const int steps = 100;
    for (int s = 0; s <= steps; ++s) {
      const double t0 = NowSeconds();
      const int before = watch.paints;
      bar->setSliderPosition(static_cast<int>(static_cast<long long>(bar->maximum()) * s / steps));
      AwaitFrame(watch, before);
      const double t = NowSeconds() - t0;
      frames.push_back(t);
      frameFloor.push_back(DrawFloor(VisibleTexts(g), canvas, g.font()));
      Idle();
    }
    bar->setSliderDown(false);
    bar->setSliderPosition(0);
    QCoreApplication::processEvents();
  }
  rixbench::Report("thumb_drag_50k_frame", rixbench::Median(frames), rixbench::Median(frameFloor),
                   "frame_ms", "static_text_ms");
  if (!dialogs.shown().isEmpty())
    std::printf("# warning: %d boxes shown\n", static_cast<int>(dialogs.shown().size()));
  return 0;
}
