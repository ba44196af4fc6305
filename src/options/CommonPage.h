#pragma once

#include <string_view>

#include "options/OptionsPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace rix {

// The page of ordinary emulators: the command parts placed before and after
// the game, and the button that stores them in the emulator table. The
// controls sit at fixed places so that the edits' width, which follows the
// window, never feeds back into the window's minimum size.
class CommonPage : public OptionsPage {
  Q_OBJECT
public:
  static constexpr std::u16string_view kName = u"Common";

  explicit CommonPage(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* CommandEdit1;
  QLabel* Label6;
  QLineEdit* CommandEdit2;
  QPushButton* SaveCommandBtn;

  // Both edits become as wide as the settings page control minus 25 pixels.
  void fitCommandEdits(int romPageWidth);
};

}  // namespace rix
