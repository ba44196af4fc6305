#include <gtest/gtest.h>

#include "platform/VirtualKey.h"

using rix::VirtualKeyFromQt;

TEST(VirtualKey, QtKeysMapToWindowsCodes) {
  const Qt::KeyboardModifiers none;
  const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
  const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
  const struct {
    int qtKey;
    Qt::KeyboardModifiers mods;
    int code;
  } cases[] = {
      // Letters and digits are their ASCII capitals, whatever the modifiers.
      {Qt::Key_A, none, 0x41},
      {Qt::Key_Z, shift, 0x5A},
      {Qt::Key_0, none, 0x30},
      {Qt::Key_9, Qt::ControlModifier, 0x39},
      // Shifted symbols are the key that carries them.
      {Qt::Key_Exclam, shift, 0x31},
      {Qt::Key_ParenRight, shift, 0x30},
      {Qt::Key_Asterisk, shift, 0x38},
      {Qt::Key_Minus, none, 0xBD},
      {Qt::Key_Underscore, shift, 0xBD},
      {Qt::Key_Equal, none, 0xBB},
      {Qt::Key_Plus, shift, 0xBB},
      {Qt::Key_BracketLeft, none, 0xDB},
      {Qt::Key_BraceRight, shift, 0xDD},
      {Qt::Key_Semicolon, none, 0xBA},
      {Qt::Key_QuoteDbl, shift, 0xDE},
      {Qt::Key_QuoteLeft, none, 0xC0},
      {Qt::Key_AsciiTilde, shift, 0xC0},
      {Qt::Key_Backslash, none, 0xDC},
      {Qt::Key_Bar, shift, 0xDC},
      {Qt::Key_Less, shift, 0xBC},
      {Qt::Key_Period, none, 0xBE},
      {Qt::Key_Question, shift, 0xBF},
      // Function and control keys.
      {Qt::Key_F1, none, 0x70},
      {Qt::Key_F10, none, 0x79},
      {Qt::Key_F11, none, 0x7A},
      {Qt::Key_F12, none, 0x7B},
      {Qt::Key_Escape, none, 0x1B},
      {Qt::Key_Tab, none, 0x09},
      {Qt::Key_Backtab, shift, 0x09},
      {Qt::Key_Return, none, 0x0D},
      {Qt::Key_Backspace, none, 0x08},
      {Qt::Key_Space, none, 0x20},
      {Qt::Key_Shift, shift, 0x10},
      {Qt::Key_Control, Qt::ControlModifier, 0x11},
      {Qt::Key_Alt, Qt::AltModifier, 0x12},
      {Qt::Key_CapsLock, none, 0x14},
      {Qt::Key_NumLock, none, 0x90},
      {Qt::Key_ScrollLock, none, 0x91},
      {Qt::Key_Pause, none, 0x13},
      {Qt::Key_Print, none, 0x2C},
      // Navigation keys, on their own block or on the pad with Num Lock off.
      {Qt::Key_Home, none, 0x24},
      {Qt::Key_Up, none, 0x26},
      {Qt::Key_PageUp, none, 0x21},
      {Qt::Key_Left, none, 0x25},
      {Qt::Key_Right, none, 0x27},
      {Qt::Key_End, none, 0x23},
      {Qt::Key_Down, none, 0x28},
      {Qt::Key_PageDown, none, 0x22},
      {Qt::Key_Insert, none, 0x2D},
      {Qt::Key_Delete, none, 0x2E},
      {Qt::Key_Home, pad, 0x24},
      {Qt::Key_PageDown, pad, 0x22},
      {Qt::Key_Delete, pad, 0x2E},
      {Qt::Key_Clear, pad, 0x0C},
      {Qt::Key_Enter, pad, 0x0D},
      // The pad's own keys.
      {Qt::Key_Asterisk, pad, 0x6A},
      {Qt::Key_Minus, pad, 0x6D},
      {Qt::Key_Plus, pad, 0x6B},
      {Qt::Key_Slash, pad, 0x6F},
      {Qt::Key_Period, pad, 0x6E},
      {Qt::Key_0, pad, 0x60},
      {Qt::Key_7, pad, 0x67},
      // No code.
      {Qt::Key_unknown, none, 0},
      {Qt::Key_Eacute, none, 0},
      {Qt::Key_VolumeUp, none, 0},
      {0, none, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.mods), c.code)
        << "Qt key 0x" << std::hex << c.qtKey << " modifiers 0x" << c.mods.toInt();
}
