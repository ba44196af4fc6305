#pragma once

namespace rix {

// The program's texts name Windows fonts; these map them onto fonts this
// system has: the Ming faces onto AR PL UMing, the Latin ones onto the
// metric-compatible Liberation faces, the fixed-pitch system font onto
// DejaVu Sans Mono. Call once after the application object exists.
void InstallFontSubstitutions();

}  // namespace rix
