#pragma once

#include <string_view>

#include "options/NeoRageOptions.h"
#include "options/OptionsPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rix {

class BannerLabel;
class RadioGroup;
class UpDown;

// The NeoRage page: check boxes, a video-mode group and a frame-skip counter
// that stand for the emulator's switches in the after-game command.
class NeoRagePage : public OptionsPage {
  Q_OBJECT
public:
  static constexpr std::u16string_view kName = u"NeoRage";

  explicit NeoRagePage(QWidget* parent = nullptr);

  BannerLabel* Banner;
  QCheckBox* ScanlinesChk;
  QCheckBox* VsyncChk;
  QCheckBox* JoystickChk;
  QCheckBox* CodeAnalysChk;
  QLabel* Label7;
  QLineEdit* FrameskipEdit;
  UpDown* FrameskipUpDown;
  RadioGroup* VideoModeRG;
  QPushButton* NeoRageSaveBtn;

  // Sets the controls from an after-game command; the frame-skip counter and
  // the video mode keep their state when the command names neither.
  void parseOptions(const QString& command);
  // True while the controls are being set by the program: no commandChanged()
  // then, so the command is not rewritten from half-set controls.
  bool parsingOptions() const { return parsingOptions_; }

  NeoRageOptions options() const;
  void setOptions(const NeoRageOptions& options);
  // The after-game command the controls stand for now.
  QString buildCommand() const { return BuildNeoRageSwitches(options()); }

  // Reads the switches of the selected emulator's after-game command.
  void showCommand(const QString& afterGame) override { parseOptions(afterGame); }

private:
  // commandChanged() follows a check box clicked, a video mode chosen, any
  // change of the frame-skip text (typed or stepped); never changes made by
  // setOptions().
  void notifyChange();

  bool parsingOptions_ = false;
};

}  // namespace rix
