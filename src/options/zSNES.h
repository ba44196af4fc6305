#pragma once

#include <QString>
#include <array>

namespace rix {

// One key of the PC keyboard: its Windows virtual-key code and the name the
// pad-button map shows. Its scan code (set 1) is its position in KeyScanCodes,
// counted from 1.
struct KeyScanCode {
  int virtualKey;
  const char* name;
};

inline constexpr int kKeyScanCodeCount = 83;
extern const std::array<KeyScanCode, kKeyScanCodeCount> KeyScanCodes;

// The pad buttons of grid rows 1 to 12, in order.
inline constexpr int kPadButtonCount = 12;
extern const std::array<const char*, kPadButtonCount> PadButtonNames;

// The scan code of the first entry with this virtual-key code, or 0. Both
// Shift keys report the same code, so the right one finds entry 42 too.
int ScanCodeOfVirtualKey(int virtualKey);

// "<scan code> <name>", the text a recorded key leaves in its cell.
QString KeyCellText(int scanCode);

}  // namespace rix
