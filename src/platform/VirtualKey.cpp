#include "platform/VirtualKey.h"

namespace rix {

namespace {

// Keys of the numeric pad that have codes of their own while Num Lock is on.
int KeypadKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::Numpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk:
      return vk::Multiply;
    case Qt::Key_Plus:
      return vk::Add;
    case Qt::Key_Minus:
      return vk::Subtract;
    case Qt::Key_Slash:
      return vk::Divide;
    case Qt::Key_Period:
    case Qt::Key_Comma:  // the decimal key of layouts that write a comma
      return vk::Decimal;
    default:
      return 0;
  }
}

// The US layout's symbol keys, shifted or not.
int SymbolKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Exclam:
      return 0x31;
    case Qt::Key_At:
      return 0x32;
    case Qt::Key_NumberSign:
      return 0x33;
    case Qt::Key_Dollar:
      return 0x34;
    case Qt::Key_Percent:
      return 0x35;
    case Qt::Key_AsciiCircum:
      return 0x36;
    case Qt::Key_Ampersand:
      return 0x37;
    case Qt::Key_Asterisk:
      return 0x38;
    case Qt::Key_ParenLeft:
      return 0x39;
    case Qt::Key_ParenRight:
      return 0x30;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return vk::OemMinus;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return vk::OemPlus;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return vk::Oem4;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return vk::Oem6;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return vk::Oem1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return vk::Oem7;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return vk::Oem3;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return vk::Oem5;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return vk::OemComma;
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return vk::OemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return vk::Oem2;
    default:
      return 0;
  }
}

int ControlKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape:
      return vk::Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab
      return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vk::Return;
    case Qt::Key_Backspace:
      return vk::Back;
    case Qt::Key_Space:
      return vk::Space;
    case Qt::Key_Shift:
      return vk::Shift;
    case Qt::Key_Control:
      return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return vk::Menu;
    case Qt::Key_Super_L:
      return vk::LeftWin;
    case Qt::Key_Super_R:
      return vk::RightWin;
    case Qt::Key_Menu:
      return vk::Apps;
    case Qt::Key_CapsLock:
      return vk::Capital;
    case Qt::Key_NumLock:
      return vk::NumLock;
    case Qt::Key_ScrollLock:
      return vk::ScrollLock;
    case Qt::Key_Pause:
      return vk::Pause;
    case Qt::Key_Print:
    case Qt::Key_SysReq:
      return vk::Snapshot;
    case Qt::Key_Home:
      return vk::Home;
    case Qt::Key_End:
      return vk::End;
    case Qt::Key_PageUp:
      return vk::Prior;
    case Qt::Key_PageDown:
      return vk::Next;
    case Qt::Key_Left:
      return vk::Left;
    case Qt::Key_Up:
      return vk::Up;
    case Qt::Key_Right:
      return vk::Right;
    case Qt::Key_Down:
      return vk::Down;
    case Qt::Key_Insert:
      return vk::Insert;
    case Qt::Key_Delete:
      return vk::Delete;
    case Qt::Key_Clear:  // the pad's 5 with Num Lock off
      return vk::Clear;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods) {
  if (mods.testFlag(Qt::KeypadModifier)) {
    if (int code = KeypadKey(qtKey)) return code;
    // Navigation keys, Enter and Clear of the pad share the main keys' codes.
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 0x41 + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x30 + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::F1 + (qtKey - Qt::Key_F1);
  if (int code = SymbolKey(qtKey)) return code;
  return ControlKey(qtKey);
}

}  // namespace rix
