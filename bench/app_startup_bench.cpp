// Start-up as the user meets it: the real executable started on a private X
// server, its CPU time counted from its start to the first painting of its
// main window (the window titled "RIX FrontEnd v0.8"; the splash before it
// counts as part of the start). The floor is bench/bare_window, a QMainWindow
// showing one Chinese label in the program's grid font, started and watched
// the same way; for the start with a 50,000-row list it also reads the list
// and lists the game directory once. The first painting is seen through the
// X DAMAGE extension; the program is then stopped at once. With --callgrind
// each program starts once under callgrind instead, and the instructions it
// ran to its first painting are printed: counts that stay put on a busy
// machine, for comparing one change with the next.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GameListFixture.h"
#include "XvfbServer.h"

namespace {

constexpr int kRows = 50000;
constexpr char kTitle[] = "RIX FrontEnd v0.8";

struct Run {
  double cpu = -1;   // seconds of CPU, all threads, to the first painting
  double wall = -1;  // seconds from the start to the first painting
  double sys = -1;   // of the CPU, the seconds in the kernel (read when stopped)
};

class Watcher {
public:
  bool connect(const std::string& display) {
    conn_ = xcb_connect(display.c_str(), nullptr);
    if (!conn_ || xcb_connection_has_error(conn_)) return false;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn_, &xcb_damage_id);
    if (!ext || !ext->present) return false;
    damageEvent_ = ext->first_event + XCB_DAMAGE_NOTIFY;
    free(xcb_damage_query_version_reply(conn_, xcb_damage_query_version(conn_, 1, 1), nullptr));
    netWmName_ = Atom("_NET_WM_NAME");
    utf8_ = Atom("UTF8_STRING");
    xcb_flush(conn_);
    return true;
  }
  ~Watcher() {
    if (conn_) xcb_disconnect(conn_);
  }

  // Starts argv with env added, waits for the first damage on its main
  // window, reads its CPU clock and kills it.
  Run run(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          int stopSignal = SIGKILL, double timeout = 30) {
    Run out;
    const double t0 = rixbench::NowSeconds();
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
      const int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    clockid_t clock;
    const bool haveClock = pid > 0 && clock_getcpuclockid(pid, &clock) == 0;
    xcb_window_t target = XCB_NONE;
    xcb_damage_damage_t damage = XCB_NONE;
    const int fd = xcb_get_file_descriptor(conn_);
    while (out.cpu < 0 && rixbench::NowSeconds() - t0 < timeout) {
      pollfd p{fd, POLLIN, 0};
      ::poll(&p, 1, 100);
      while (xcb_generic_event_t* ev = xcb_poll_for_event(conn_)) {
        const int type = ev->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY && target == XCB_NONE) {
          const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(ev);
          if (TitleOf(m->window) == kTitle) {
            target = m->window;
            damage = xcb_generate_id(conn_);
            xcb_damage_create(conn_, damage, target, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(conn_);
          }
        } else if (type == damageEvent_ && target != XCB_NONE && out.cpu < 0) {
          const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(ev);
          if (d->drawable == target) {
            timespec ts{};
            if (haveClock && clock_gettime(clock, &ts) == 0)
              out.cpu = static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
            out.wall = rixbench::NowSeconds() - t0;
          }
        }
        free(ev);
      }
    }
    if (pid > 0) {
      ::kill(pid, stopSignal);
      rusage use{};
      if (::wait4(pid, nullptr, 0, &use) == pid)
        out.sys = static_cast<double>(use.ru_stime.tv_sec) +
                  static_cast<double>(use.ru_stime.tv_usec) * 1e-6;
    }
    if (damage != XCB_NONE) {
      xcb_damage_destroy(conn_, damage);
      xcb_flush(conn_);
    }
    return out;
  }

private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    free(r);
    return a;
  }

  std::string TitleOf(xcb_window_t w) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, w, netWmName_, utf8_, 0, 64), nullptr);
    std::string title;
    if (r) {
      title.assign(static_cast<const char*>(xcb_get_property_value(r)),
                   static_cast<size_t>(xcb_get_property_value_length(r)));
      free(r);
    }
    return title;
  }

  xcb_connection_t* conn_ = nullptr;
  xcb_window_t root_ = XCB_NONE;
  int damageEvent_ = -1;
  xcb_atom_t netWmName_ = XCB_NONE, utf8_ = XCB_NONE;
};

void Measure(Watcher& w, const char* name, const std::vector<std::string>& ours,
             const std::vector<std::string>& floor, const std::vector<std::string>& env, int reps) {
  std::vector<double> oursCpu, floorCpu, oursWall, floorWall, oursSys, floorSys;
  for (int i = 0; i < reps + 1; ++i) {
    const Run f = w.run(floor, env);
    const Run o = w.run(ours, env);
    if (f.cpu < 0 || o.cpu < 0) {
      std::printf("# warning: %s: no painted window (%s)\n", name, f.cpu < 0 ? "floor" : "ours");
      continue;
    }
    if (i == 0) continue;  // the first start meets cold caches
    floorCpu.push_back(f.cpu);
    oursCpu.push_back(o.cpu);
    floorWall.push_back(f.wall);
    oursWall.push_back(o.wall);
    floorSys.push_back(f.sys);
    oursSys.push_back(o.sys);
  }
  if (oursCpu.empty()) return;
  rixbench::ReportMedians(name, oursCpu, floorCpu, "ours_cpu_ms", "bare_window_cpu_ms");
  std::printf("# %s wall to the first painting (medians): ours_ms=%.3f floor_ms=%.3f\n", name,
              rixbench::Median(oursWall) * 1e3, rixbench::Median(floorWall) * 1e3);
  std::printf("# %s of the CPU, in the kernel (medians, to the stop): ours_ms=%.3f floor_ms=%.3f\n",
              name, rixbench::Median(oursSys) * 1e3, rixbench::Median(floorSys) * 1e3);
  std::fflush(stdout);
}

// The instructions of one start, run under callgrind, which writes its counts
// when the program is stopped by SIGTERM.
void Instructions(Watcher& w, const char* name, const char* which,
                  const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const std::string& dir) {
  const std::string out = dir + "/" + name + "." + which + ".callgrind";
  std::vector<std::string> wrapped = {"/usr/bin/valgrind", "--tool=callgrind",
                                      "--callgrind-out-file=" + out};
  wrapped.insert(wrapped.end(), argv.begin(), argv.end());
  const Run r = w.run(wrapped, env, SIGTERM, 300);
  long long total = -1;
  if (std::FILE* f = std::fopen(out.c_str(), "r")) {
    char line[512];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "summary: %lld", &total) == 1) break;
    std::fclose(f);
  }
  std::printf("# %s %s instructions to the first painting: %lld%s (%s)\n", name, which, total,
              r.cpu < 0 ? " (no painted window seen)" : "", out.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool callgrind = argc > 2 && std::strcmp(argv[1], "--callgrind") == 0;
  const int reps = !callgrind && argc > 1 ? std::atoi(argv[1]) : 7;
  rixbench::XvfbServer server;
  Watcher watcher;
  if (!server.start() || !watcher.connect(server.display())) {
    std::fprintf(stderr, "cannot start Xvfb or use its DAMAGE extension\n");
    return 1;
  }
  QTemporaryDir tmp;
  const QString root = tmp.path() + "/";
  const QString appDir = root + "catalogue/";
  const QString list = appDir + "lists/a.lst";
  const QString gameDir = appDir + "games/";
  if (!tmp.isValid() ||
      !rixbench::WriteBytes(appDir + "RixFront.ini",
                            rixbench::MakeCatalogue(rixbench::OneEmulator())) ||
      !rixbench::WriteBytes(appDir + "EmuTree.ini", rixbench::MakeTree(1)) ||
      !rixbench::WriteBytes(list, rixbench::MakeGameList(kRows, "GameA")) ||
      !rixbench::MakeGameDir(gameDir, kRows, "GameA") ||
      !rixbench::MakePicture(appDir + "pics/gamea000000.png", qRgb(200, 0, 0))) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(root));
    return 1;
  }
  // The program's settings and data go to the bench's own directory.
  QDir().mkpath(root + "config");
  QDir().mkpath(root + "data");
  QDir().mkpath(root + "run");
  ::chmod(QFile::encodeName(root + "run").constData(), 0700);
  const std::vector<std::string> env = {"DISPLAY=" + server.display(), "QT_QPA_PLATFORM=xcb",
                                        "XDG_CONFIG_HOME=" + (root + "config").toStdString(),
                                        "XDG_DATA_HOME=" + (root + "data").toStdString(),
                                        "XDG_RUNTIME_DIR=" + (root + "run").toStdString()};
  std::printf("# X server %s; list %d rows, game directory %d files\n", server.display().c_str(),
              kRows, kRows);
  // Another build of the program (an older commit's, say) can be measured
  // against the same floor and fixture.
  const char* other = std::getenv("RIX_BENCH_PROGRAM");
  const std::string program = other && *other ? other : RIX_PROGRAM;
  const std::vector<std::string> demo = {program, RIX_DEMO_DIR};
  const std::vector<std::string> big = {program, appDir.toStdString()};
  const std::vector<std::string> bare = {RIX_BARE_WINDOW};
  const std::vector<std::string> bareBig = {RIX_BARE_WINDOW, list.toStdString(),
                                            gameDir.toStdString()};
  if (callgrind) {
    QDir().mkpath(QString::fromLocal8Bit(argv[2]));
    Instructions(watcher, "startup_demo", "ours", demo, env, argv[2]);
    Instructions(watcher, "startup_demo", "floor", bare, env, argv[2]);
    Instructions(watcher, "startup_50k", "ours", big, env, argv[2]);
    Instructions(watcher, "startup_50k", "floor", bareBig, env, argv[2]);
    return 0;
  }
  Measure(watcher, "startup_demo", demo, bare, env, reps);
  Measure(watcher, "startup_50k", big, bareBig, env, reps);
  return 0;
}
