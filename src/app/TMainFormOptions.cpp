// The option pages' handlers of the main window.
#include <QLineEdit>
#include <QStackedWidget>

#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "options/NeoRagePage.h"
#include "platform/Big5.h"
#include "widgets/Dialogs.h"

namespace col = rix::emucol;

void TMainForm::ShowOptionsPage() {
  ParsingOptions = true;
  static_cast<rix::OptionsPage*>(SetNotebook->currentWidget())->showCommand(CommandEdit2->text());
  ParsingOptions = false;
}

void TMainForm::ScanlinesChkClick(const QString& command) {
  if (ParsingOptions) return;
  CommandEdit2->setText(command);
}

void TMainForm::SaveCommandBtnClick() {
  if (dialogs().messageBox(rix::Dialogs::Kind::Confirm, QStringLiteral("是否將參數存檔？"),
                           rix::Dialogs::Yes | rix::Dialogs::No) != rix::Dialogs::Yes)
    return;
  const int row = EmuGrid->row();
  EmuGrid->setCell(col::CommandBefore, row, rix::Big5Encode(CommandEdit1->text()));
  EmuGrid->setCell(col::CommandAfter, row, rix::Big5Encode(CommandEdit2->text()));
  SaveGrid(EmuGrid);
}
