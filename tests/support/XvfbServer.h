#pragma once

// A private X server for the tests and benches that must take the path a
// user's display takes: Xvfb on a display number it picks itself, stopped
// with the program. Under X the server pays part of every frame, so its CPU
// time is readable.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rixbench {

class XvfbServer {
public:
  XvfbServer() = default;
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  ~XvfbServer() { stop(); }

  // Starts Xvfb and waits until it accepts clients; false when it cannot.
  bool start(const char* screen = "1280x900x24") {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    pid_ = ::fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      ::close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    // Xvfb writes its display number once it is ready.
    char buf[32] = {};
    size_t got = 0;
    while (got + 1 < sizeof buf) {
      const ssize_t n = ::read(fds[0], buf + got, sizeof buf - 1 - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
      if (buf[got - 1] == '\n') break;
    }
    ::close(fds[0]);
    if (got == 0) {
      stop();
      return false;
    }
    display_ = ":" + std::to_string(std::atoi(buf));
    return true;
  }

  const std::string& display() const { return display_; }
  pid_t pid() const { return pid_; }

  // CPU time the server has used so far, in seconds.
  double cpuSeconds() const {
    clockid_t clock;
    timespec ts{};
    if (pid_ <= 0 || clock_getcpuclockid(pid_, &clock) != 0 || clock_gettime(clock, &ts) != 0)
      return 0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
  }

  void stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace rixbench
