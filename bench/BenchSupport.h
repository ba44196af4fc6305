#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace rixbench {

// Best wall time of `reps` runs of fn, in seconds. The best run is the one
// least disturbed by the rest of the machine.
inline double BestSeconds(int reps, const std::function<void()>& fn) {
  double best = 1e300;
  for (int i = 0; i < reps; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    fn();
    auto t1 = std::chrono::steady_clock::now();
    double s = std::chrono::duration<double>(t1 - t0).count();
    if (s < best) best = s;
  }
  return best;
}

// Prints "name ours_ms=.. floor_ms=.. ratio=..".
inline void Report(const std::string& name, double ours, double floor,
                   const char* oursLabel = "ours_ms", const char* floorLabel = "floor_ms") {
  std::printf("%s %s=%.3f %s=%.3f ratio=%.3f\n", name.c_str(), oursLabel, ours * 1e3, floorLabel,
              floor * 1e3, floor > 0 ? ours / floor : 0.0);
  std::fflush(stdout);
}

}  // namespace rixbench
