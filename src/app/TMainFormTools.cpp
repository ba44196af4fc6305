// Handlers of the list tools, the options page and the banner whose
// subsystems have not been built yet: they do nothing.
#include "app/TMainForm.h"

void TMainForm::EditMode1Click() {}
void TMainForm::SaveToHTML1Click() {}
void TMainForm::FindFirst1Click() {}
void TMainForm::FindNext1Click() {}
void TMainForm::AutoGridMakeSBClick() {}
void TMainForm::InsertRow1Click() {}
void TMainForm::DeleteRow1Click() {}
void TMainForm::ClearRow1Click() {}
void TMainForm::ClearAll1Click() {}
void TMainForm::RowUpper1Click(QAction*) {}
void TMainForm::RowPicAddText1Click() {}
void TMainForm::RowDelPic1Click() {}
void TMainForm::Print1Click() {}
void TMainForm::ConfirmSaveDocument() {}
void TMainForm::LoadDocument(int) {}
