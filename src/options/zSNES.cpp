#include "options/zSNES.h"

namespace rix {

// Set 1 scan codes of the 83-key keyboard. 55 is the pad's multiply key and
// 71 to 83 the pad's positions named by their Num Lock off functions.
const std::array<KeyScanCode, kKeyScanCodeCount> KeyScanCodes = {{
    KeyScanCode{0x1B, "Esc"},         // 1
    KeyScanCode{0x31, "1"},           // 2
    KeyScanCode{0x32, "2"},           // 3
    KeyScanCode{0x33, "3"},           // 4
    KeyScanCode{0x34, "4"},           // 5
    KeyScanCode{0x35, "5"},           // 6
    KeyScanCode{0x36, "6"},           // 7
    KeyScanCode{0x37, "7"},           // 8
    KeyScanCode{0x38, "8"},           // 9
    KeyScanCode{0x39, "9"},           // 10
    KeyScanCode{0x30, "0"},           // 11
    KeyScanCode{0xBD, "-"},           // 12
    KeyScanCode{0xBB, "="},           // 13
    KeyScanCode{0x08, "BackSpc"},     // 14
    KeyScanCode{0x09, "Tab"},         // 15
    KeyScanCode{0x51, "Q"},           // 16
    KeyScanCode{0x57, "W"},           // 17
    KeyScanCode{0x45, "E"},           // 18
    KeyScanCode{0x52, "R"},           // 19
    KeyScanCode{0x54, "T"},           // 20
    KeyScanCode{0x59, "Y"},           // 21
    KeyScanCode{0x55, "U"},           // 22
    KeyScanCode{0x49, "I"},           // 23
    KeyScanCode{0x4F, "O"},           // 24
    KeyScanCode{0x50, "P"},           // 25
    KeyScanCode{0xDB, "["},           // 26
    KeyScanCode{0xDD, "]"},           // 27
    KeyScanCode{0x0D, "Enter"},       // 28
    KeyScanCode{0x11, "Ctrl"},        // 29
    KeyScanCode{0x41, "A"},           // 30
    KeyScanCode{0x53, "S"},           // 31
    KeyScanCode{0x44, "D"},           // 32
    KeyScanCode{0x46, "F"},           // 33
    KeyScanCode{0x47, "G"},           // 34
    KeyScanCode{0x48, "H"},           // 35
    KeyScanCode{0x4A, "J"},           // 36
    KeyScanCode{0x4B, "K"},           // 37
    KeyScanCode{0x4C, "L"},           // 38
    KeyScanCode{0xBA, ";"},           // 39
    KeyScanCode{0xDE, "'"},           // 40
    KeyScanCode{0xC0, "~"},           // 41
    KeyScanCode{0x10, "Shift"},       // 42
    KeyScanCode{0xDC, "\\"},          // 43
    KeyScanCode{0x5A, "Z"},           // 44
    KeyScanCode{0x58, "X"},           // 45
    KeyScanCode{0x43, "C"},           // 46
    KeyScanCode{0x56, "V"},           // 47
    KeyScanCode{0x42, "B"},           // 48
    KeyScanCode{0x4E, "N"},           // 49
    KeyScanCode{0x4D, "M"},           // 50
    KeyScanCode{0xBC, ","},           // 51
    KeyScanCode{0xBE, "."},           // 52
    KeyScanCode{0xBF, "/"},           // 53
    KeyScanCode{0x10, "Shift"},       // 54
    KeyScanCode{0x6A, "PrtSc"},       // 55
    KeyScanCode{0x12, "Alt"},         // 56
    KeyScanCode{0x20, "Space"},       // 57
    KeyScanCode{0x14, "CapsLock"},    // 58
    KeyScanCode{0x70, "F1"},          // 59
    KeyScanCode{0x71, "F2"},          // 60
    KeyScanCode{0x72, "F3"},          // 61
    KeyScanCode{0x73, "F4"},          // 62
    KeyScanCode{0x74, "F5"},          // 63
    KeyScanCode{0x75, "F6"},          // 64
    KeyScanCode{0x76, "F7"},          // 65
    KeyScanCode{0x77, "F8"},          // 66
    KeyScanCode{0x78, "F9"},          // 67
    KeyScanCode{0x79, "F10"},         // 68
    KeyScanCode{0x90, "NumLock"},     // 69
    KeyScanCode{0x91, "ScrollLock"},  // 70
    KeyScanCode{0x24, "Home"},        // 71
    KeyScanCode{0x26, "Up"},          // 72
    KeyScanCode{0x21, "PgUp"},        // 73
    KeyScanCode{0x6D, "-"},           // 74
    KeyScanCode{0x25, "Left"},        // 75
    KeyScanCode{0x0C, "Key5"},        // 76
    KeyScanCode{0x27, "Right"},       // 77
    KeyScanCode{0x6B, "+"},           // 78
    KeyScanCode{0x23, "End"},         // 79
    KeyScanCode{0x28, "Down"},        // 80
    KeyScanCode{0x22, "PgDn"},        // 81
    KeyScanCode{0x2D, "Ins"},         // 82
    KeyScanCode{0x2E, "Del"},         // 83
}};

const std::array<const char*, kPadButtonCount> PadButtonNames = {
    "右", "左", "下", "上", "開始", "選擇", "B", "Y", "A", "X", "L", "R"};

int ScanCodeOfVirtualKey(int virtualKey) {
  if (virtualKey == 0) return 0;
  for (int i = 0; i < kKeyScanCodeCount; ++i)
    if (KeyScanCodes[i].virtualKey == virtualKey) return i + 1;
  return 0;
}

QString KeyCellText(int scanCode) {
  if (scanCode < 1 || scanCode > kKeyScanCodeCount) return QString();
  return QStringLiteral("%1 %2").arg(scanCode).arg(QLatin1String(KeyScanCodes[scanCode - 1].name));
}

}  // namespace rix
