// The banner's handler of the main window.
#include "app/TMainForm.h"
#include "banner/TAboutForm.h"

void TMainForm::RixLED1Click() {
  TAboutForm about(this);
  about.exec();
}
