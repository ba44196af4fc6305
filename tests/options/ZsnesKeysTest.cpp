#include <gtest/gtest.h>

#include "options/zSNES.h"

using rix::KeyScanCodes;
using rix::ScanCodeOfVirtualKey;

namespace {

void ExpectEntry(int scanCode, int virtualKey, const char* name) {
  const rix::KeyScanCode& entry = KeyScanCodes.at(scanCode - 1);
  EXPECT_EQ(entry.virtualKey, virtualKey) << "scan code " << scanCode;
  EXPECT_STREQ(entry.name, name) << "scan code " << scanCode;
}

}  // namespace

TEST(ZsnesKeys, TableHoldsTheKeyboardInScanCodeOrder) {
  EXPECT_EQ(KeyScanCodes.size(), 83u);
  ExpectEntry(1, 0x1B, "Esc");
  ExpectEntry(11, 0x30, "0");
  ExpectEntry(12, 0xBD, "-");
  ExpectEntry(14, 0x08, "BackSpc");
  ExpectEntry(28, 0x0D, "Enter");
  ExpectEntry(29, 0x11, "Ctrl");
  ExpectEntry(41, 0xC0, "~");
  ExpectEntry(42, 0x10, "Shift");
  ExpectEntry(43, 0xDC, "\\");
  ExpectEntry(54, 0x10, "Shift");
  ExpectEntry(55, 0x6A, "PrtSc");
  ExpectEntry(57, 0x20, "Space");
  ExpectEntry(68, 0x79, "F10");
  ExpectEntry(70, 0x91, "ScrollLock");
  ExpectEntry(74, 0x6D, "-");
  ExpectEntry(76, 0x0C, "Key5");
  ExpectEntry(78, 0x6B, "+");
  ExpectEntry(83, 0x2E, "Del");

  // Letters follow the rows of the keyboard; each appears exactly once.
  QString letters;
  for (const auto& entry : KeyScanCodes)
    if (entry.virtualKey >= 'A' && entry.virtualKey <= 'Z') letters += QChar(entry.virtualKey);
  EXPECT_EQ(letters, "QWERTYUIOPASDFGHJKLZXCVBNM");
}

TEST(ZsnesKeys, LookupTakesTheFirstEntryOfACode) {
  EXPECT_EQ(ScanCodeOfVirtualKey(0x10), 42);  // 54 carries the same code
  EXPECT_EQ(ScanCodeOfVirtualKey(0xBD), 12);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x6D), 74);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x2E), 83);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x7A), 0);  // F11
  EXPECT_EQ(ScanCodeOfVirtualKey(0x61), 0);  // pad 1 with Num Lock on
  EXPECT_EQ(ScanCodeOfVirtualKey(0), 0);
  EXPECT_EQ(rix::KeyCellText(74), "74 -");
  EXPECT_EQ(rix::KeyCellText(0), "");
  EXPECT_EQ(rix::KeyCellText(84), "");
}
