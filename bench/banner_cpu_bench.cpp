// CPU cost of a scrolling banner: a window-wide banner runs at its 10 ms
// ticks for a while on a private X server, as on a user's display; the CPU
// time of the program and of the server over that span, divided by the wall
// time, should stay near zero. The same timer with nothing to draw is measured
// after it, as the floor that the event loop alone costs.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "XvfbServer.h"
#include "banner/TRixLED.h"

namespace {

using rixbench::ProcessCpuSeconds;

void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void Measure(const char* name, TRixLED& led, const rixbench::XvfbServer& server, double seconds) {
  int ticks = 0;
  const auto counter = QObject::connect(led.ScrollTimer(), &QTimer::timeout, [&ticks] { ++ticks; });
  QElapsedTimer wall;
  const double cpu0 = ProcessCpuSeconds();
  const double server0 = server.cpuSeconds();
  wall.start();
  Wait(static_cast<int>(seconds * 1000));
  const double wallS = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const double cpuS = ProcessCpuSeconds() - cpu0;
  const double serverS = server.cpuSeconds() - server0;
  QObject::disconnect(counter);
  std::printf(
      "%s platform=%s on_screen=%d ticks=%d program_cpu_s=%.3f server_cpu_s=%.3f wall_s=%.3f "
      "ratio=%.4f\n",
      name, qPrintable(QGuiApplication::platformName()), led.DrawsOnScreen() ? 1 : 0, ticks, cpuS,
      serverS, wallS, (cpuS + serverS) / wallS);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  rixbench::XvfbServer server;
  if (!server.start()) {
    std::fprintf(stderr, "cannot start Xvfb\n");
    return 1;
  }
  qputenv("DISPLAY", server.display().c_str());
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;

  QWidget window;
  window.resize(675, 52);
  TRixLED led(&window);
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setPixelSize(11);
  f.setBold(true);
  led.setFont(f);
  led.SetText(QStringLiteral(
      "RIX Frontend  -  a front end for game emulators  -  double-click a game to play it"));
  led.setGeometry(0, 0, 675, 52);
  window.show();
  Wait(300);  // let the window be mapped and exposed
  led.SetScroll(true);
  Wait(300);  // and the first frames settle

  Measure("banner_cpu", led, server, seconds);
  led.SetScrollMode(smNone);  // ticks that draw nothing
  Measure("banner_timer_floor", led, server, seconds);
  return 0;
}
