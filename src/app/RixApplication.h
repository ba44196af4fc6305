#pragma once

#include <QApplication>

namespace rix {

class Dialogs;

// The application object. A file error that no handler caught ends the
// event's action and is shown in the application's error box; the program
// goes on.
class RixApplication : public QApplication {
  Q_OBJECT

public:
  RixApplication(int& argc, char** argv);
  void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
  bool notify(QObject* receiver, QEvent* event) override;

private:
  Dialogs* dialogs_ = nullptr;
};

}  // namespace rix
