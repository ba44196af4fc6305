#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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

inline double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Prints "name ours_ms=.. floor_ms=.. ratio=..".
inline void Report(const std::string& name, double ours, double floor,
                   const char* oursLabel = "ours_ms", const char* floorLabel = "floor_ms") {
  std::printf("%s %s=%.3f %s=%.3f ratio=%.3f\n", name.c_str(), oursLabel, ours * 1e3, floorLabel,
              floor * 1e3, floor > 0 ? ours / floor : 0.0);
  std::fflush(stdout);
}

// Runs measured in turns with their floor: prints the medians' ratio on the
// measure's line, and the best runs and every run on a comment line below it.
inline void ReportMedians(const std::string& name, const std::vector<double>& ours,
                          const std::vector<double>& floor, const char* oursLabel = "ours_ms",
                          const char* floorLabel = "floor_ms") {
  Report(name, Median(ours), Median(floor), oursLabel, floorLabel);
  const double bestOurs = *std::min_element(ours.begin(), ours.end());
  const double bestFloor = *std::min_element(floor.begin(), floor.end());
  std::string runs;
  char buf[32];
  for (size_t i = 0; i < ours.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s%.1f/%.1f", i ? " " : "", ours[i] * 1e3, floor[i] * 1e3);
    runs += buf;
  }
  std::printf("# %s medians of %zu runs; best ours_ms=%.3f floor_ms=%.3f ratio=%.3f; runs: %s\n",
              name.c_str(), ours.size(), bestOurs * 1e3, bestFloor * 1e3,
              bestFloor > 0 ? bestOurs / bestFloor : 0.0, runs.c_str());
  std::fflush(stdout);
}

}  // namespace rixbench

#include <fstream>

namespace rixbench {

// Peak resident memory of the process in bytes, from /proc; ResetPeak() sets
// the peak back to what is resident now.
inline long long PeakBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long long kb = 0;
      status >> kb;
      return kb * 1024;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace rixbench
