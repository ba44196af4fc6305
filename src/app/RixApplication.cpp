#include "app/RixApplication.h"

#include "platform/FileError.h"
#include "widgets/Dialogs.h"

namespace rix {

RixApplication::RixApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool RixApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const FileError& e) {
    if (dialogs_) dialogs_->errorBox(e.text());
    return true;
  }
}

}  // namespace rix
