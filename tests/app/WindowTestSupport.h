#pragma once

#include <memory>

#include "TestSupport.h"
#include "app/TMainForm.h"

namespace rixtest {

// The header line of an emulator table.
inline QByteArray CatalogueHeader() {
  return TableLine({"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
}

// The main window over a test's own directory, shown.
inline std::unique_ptr<TMainForm> OpenWindow(const ScratchDir& dir, rix::Dialogs* dialogs,
                                             rix::ProcessStarter* starter = nullptr) {
  MainFormSetup s;
  s.appDir = dir.path();
  s.tempDir = dir.path() + "tmp/";
  s.dialogs = dialogs;
  s.starter = starter;
  auto form = std::make_unique<TMainForm>(s);
  form->resize(900, 700);
  form->show();
  return form;
}

}  // namespace rixtest
