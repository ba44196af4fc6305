#pragma once

#include <memory>

#include "app/TMainForm.h"
#include "widgets/ScriptedDialogs.h"

// The main window over a test's own application directory, shown with the
// emulator table in front, as the list tool tests drive it.
inline std::unique_ptr<TMainForm> ShownForm(const QString& appDir, rix::ScriptedDialogs* dialogs) {
  MainFormSetup s;
  s.appDir = appDir;
  s.tempDir = appDir + "tmp/";
  s.dialogs = dialogs;
  auto form = std::make_unique<TMainForm>(s);
  form->resize(900, 700);
  form->show();
  form->ShowEmuGrid1Click();
  return form;
}
