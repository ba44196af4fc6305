// List editing tools and column conversions on the grid last pressed.
#include <QAction>

#include "app/TMainForm.h"
#include "games/ColumnTools.h"
#include "games/GridSearch.h"
#include "platform/Big5.h"
#include "widgets/Dialogs.h"
#include "widgets/WaitCursor.h"

using rix::Dialogs;

namespace {

// Makes a hit the current cell: the column first, on the current row, then the row.
void ShowHit(rix::StringGrid* grid, int col, int row) {
  grid->setCol(col);
  grid->setRow(row);
}

}  // namespace

void TMainForm::EditMode1Click() {
  if (!ActiveGrid) return;
  // The grid's own mode decides: the menu item and the button each flip
  // their own check before this runs, so neither can be trusted alone.
  const bool on = !ActiveGrid->editMode();
  EditMode1->setChecked(on);
  EditModeSB->setChecked(on);
  ActiveGrid->setEditMode(on);
}

void TMainForm::InsertRow1Click() {
  if (!ActiveGrid) return;
  ActiveGrid->insertRow(ActiveGrid->row());
  ShowGameCount();
}

void TMainForm::DeleteRow1Click() {
  if (!ActiveGrid) return;
  // A grid keeps at least one row.
  if (ActiveGrid->rowCount() <= 1) return;
  ActiveGrid->removeRow(ActiveGrid->row());
  ShowGameCount();
}

void TMainForm::ClearRow1Click() {
  if (!ActiveGrid) return;
  ActiveGrid->clearRow(ActiveGrid->row());
}

void TMainForm::ClearAll1Click() {
  if (!ActiveGrid) return;
  if (dialogs().messageBox(Dialogs::Kind::Confirm, QStringLiteral("是否清除全部列表？"),
                           Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
    return;
  ActiveGrid->clearCells();
  ActiveGrid->setRowCount(2);
}

void TMainForm::FindFirst1Click() {
  if (!ActiveGrid) return;
  if (const auto typed = dialogs().inputQuery(QStringLiteral("請輸入欲尋找的字串"),
                                              QStringLiteral("輸入字串"), SearchText, 255))
    SearchText = *typed;
  FindState& state = FindStateOf(ActiveGrid);
  state.text = rix::Big5Encode(SearchText);
  state.col = 0;
  state.row = 1;
  int col = 0, row = 0;
  if (!rix::FindInGrid(ActiveGrid->data(), state.text, 0, 1, &col, &row)) return;
  state.col = col;
  state.row = row;
  ShowHit(ActiveGrid, col, row);
}

void TMainForm::FindNext1Click() {
  if (!ActiveGrid) return;
  FindState& state = FindStateOf(ActiveGrid);
  int col = 0, row = 0;
  if (!rix::FindInGrid(ActiveGrid->data(), state.text, state.col, state.row + 1, &col, &row)) {
    state.col = 0;
    state.row = 0;
    return;
  }
  state.col = col;
  state.row = row;
  ShowHit(ActiveGrid, col, row);
}

void TMainForm::RowUpper1Click(QAction* sender) {
  if (!ActiveGrid || !sender) return;
  const int tag = sender->data().toInt();
  if (tag < 0 || tag > 3) return;
  const auto op = static_cast<rix::ColumnOp>(tag);
  rix::StringGrid* grid = ActiveGrid;
  rix::WaitCursor busy;
  auto ask = [this](const QString& text) {
    return dialogs().messageBox(Dialogs::Kind::Confirm, text, Dialogs::Yes | Dialogs::No) ==
           Dialogs::Yes;
  };
  if (op == rix::ColumnOp::Align && ask(QStringLiteral("是否轉換全部欄位？"))) {
    grid->beginBulkChange();
    rix::AlignAllColumns(grid->data());
    grid->endBulkChange();
    return;
  }
  if (!ask(QStringLiteral("是否開始轉換？"))) return;
  grid->beginBulkChange();
  rix::ConvertColumn(grid->data(), grid->col(), op);
  grid->endBulkChange();
}
