#pragma once

#include <QWidget>

#include "options/NeoRageOptions.h"

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
class NeoRagePage : public QWidget {
  Q_OBJECT
public:
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
  // True while the controls are being set by the program: no optionsChanged()
  // then, so the command is not rewritten from half-set controls.
  bool parsingOptions() const { return parsingOptions_; }

  NeoRageOptions options() const;
  void setOptions(const NeoRageOptions& options);
  // The after-game command the controls stand for now.
  QString buildCommand() const { return BuildNeoRageSwitches(options()); }

signals:
  // A check box clicked, a video mode chosen, any change of the frame-skip
  // text (typed or stepped); never for changes made by setOptions().
  void optionsChanged();

private:
  void notifyChange();

  bool parsingOptions_ = false;
};

}  // namespace rix
