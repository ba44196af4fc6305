#pragma once

#include <string_view>

#include "options/OptionsPage.h"

class QComboBox;
class QLabel;
class QTabWidget;

namespace rix {

class BannerLabel;
class FixedGrid;

// The ZSNES page: a device choice per player and a map of the keyboard keys
// that drive each pad button. Everything on it lives in memory only.
class ZsnesPage : public OptionsPage {
  Q_OBJECT
public:
  static constexpr std::u16string_view kName = u"zSNES";

  explicit ZsnesPage(QWidget* parent = nullptr);

  BannerLabel* Banner;
  QTabWidget* PageControl;  // "顯示", "控制", "聲音", "參數"
  QLabel* Label2;
  QComboBox* ComboBox1;
  QLabel* Label3;
  QComboBox* ComboBox2;
  QLabel* Label4;
  FixedGrid* zSNESGrid;
  QLabel* Label5;
  FixedGrid* StringGrid1;
  QLabel* PadImage;

  // Writes the player captions of row 0 and the pad buttons of column 0;
  // the recorded keys stay.
  void fillGridCaptions();
  void showCommand(const QString&) override { fillGridCaptions(); }

  // Records a key given by its virtual-key code in the current cell of
  // zSNESGrid and sets the code to 0 when the key is in the scan-code table;
  // any other key is left alone for its ordinary effect.
  void zSNESGridKeyDown(int& key);

protected:
  // Key presses in either grid are offered to zSNESGridKeyDown().
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace rix
