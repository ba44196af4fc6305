#pragma once

#include <Qt>

namespace rix {

// Windows virtual-key codes of the keys a pad-button map records. Linux key
// events carry no such code, so they are derived from the Qt key and its
// keypad flag as a US keyboard would report them.
namespace vk {
inline constexpr int Back = 0x08;
inline constexpr int Tab = 0x09;
inline constexpr int Clear = 0x0C;
inline constexpr int Return = 0x0D;
inline constexpr int Shift = 0x10;
inline constexpr int Control = 0x11;
inline constexpr int Menu = 0x12;  // Alt
inline constexpr int Pause = 0x13;
inline constexpr int Capital = 0x14;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Prior = 0x21;
inline constexpr int Next = 0x22;
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Snapshot = 0x2C;
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int LeftWin = 0x5B;
inline constexpr int RightWin = 0x5C;
inline constexpr int Apps = 0x5D;
inline constexpr int Numpad0 = 0x60;
inline constexpr int Multiply = 0x6A;
inline constexpr int Add = 0x6B;
inline constexpr int Subtract = 0x6D;
inline constexpr int Decimal = 0x6E;
inline constexpr int Divide = 0x6F;
inline constexpr int F1 = 0x70;
inline constexpr int NumLock = 0x90;
inline constexpr int ScrollLock = 0x91;
inline constexpr int Oem1 = 0xBA;       // ; :
inline constexpr int OemPlus = 0xBB;    // = +
inline constexpr int OemComma = 0xBC;   // , <
inline constexpr int OemMinus = 0xBD;   // - _
inline constexpr int OemPeriod = 0xBE;  // . >
inline constexpr int Oem2 = 0xBF;       // / ?
inline constexpr int Oem3 = 0xC0;       // ` ~
inline constexpr int Oem4 = 0xDB;       // [ {
inline constexpr int Oem5 = 0xDC;       // \ |
inline constexpr int Oem6 = 0xDD;       // ] }
inline constexpr int Oem7 = 0xDE;       // ' "
}  // namespace vk

// The virtual-key code of a Qt key event (QKeyEvent::key() and modifiers()),
// or 0 for a key that has none. Shifted symbols give the code of their key
// ("!" is the 1 key); with Qt::KeypadModifier the numeric pad's own codes are
// given, and its navigation keys (Num Lock off) give the navigation codes.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods);

}  // namespace rix
