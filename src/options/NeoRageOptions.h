#pragma once

#include <QString>

namespace rix {

// What the NeoRage page shows, and what its switches are parsed into and
// rebuilt from.
struct NeoRageOptions {
  bool vsync = false;         // "-v"
  QString frameskip = "0";    // text of the frame-skip counter, "-f<n>"
  int videoMode = -1;         // -1 none chosen, 0 default, 1 "-vga", 2 "-modex"
  bool skipAnalysis = false;  // "-noanalys"
  bool scanlines = false;     // "-s"
  bool joystick = false;      // "-j"

  bool operator==(const NeoRageOptions&) const = default;
};

inline constexpr int kFrameskipMin = 0;
inline constexpr int kFrameskipMax = 4;

// Reads the switches of an after-game command into `current`. Every test is a
// plain, case-sensitive substring search, so "-vga" also sets vsync. The
// frame-skip text and the video mode keep their values when the text names
// none; "-modex" wins over "-vga".
NeoRageOptions ParseNeoRageSwitches(const QString& command, NeoRageOptions current);

// The after-game command the options stand for, in the fixed order
// -v, -f<n>, -vga/-modex, -noanalys, -s, -j, without trailing blank.
QString BuildNeoRageSwitches(const NeoRageOptions& options);

// The counter position a frame-skip text stands for: a whole decimal number
// clamped into min..max; anything else (empty, a letter) counts as min.
int CounterPosition(const QString& text, int min, int max);

}  // namespace rix
