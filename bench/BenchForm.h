#pragma once

#include <QCoreApplication>
#include <memory>

#include "app/TMainForm.h"
#include "widgets/ScriptedDialogs.h"

namespace rixbench {

// The main window over a bench's own application directory, shown and
// settled, so that a measure meets it warm.
inline std::unique_ptr<TMainForm> ShownForm(const QString& appDir, rix::ScriptedDialogs* dialogs) {
  MainFormSetup s;
  s.appDir = appDir;
  s.tempDir = appDir + "tmp/";
  s.dialogs = dialogs;
  auto form = std::make_unique<TMainForm>(s);
  form->resize(800, 600);
  form->show();
  QCoreApplication::processEvents();
  return form;
}

}  // namespace rixbench
