// Handlers of the list tools, the options page and the banner whose
// subsystems have not been built yet: they do nothing.
#include "app/TMainForm.h"

void TMainForm::RowPicAddText1Click() {}
void TMainForm::RowDelPic1Click() {}
