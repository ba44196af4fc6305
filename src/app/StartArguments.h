#pragma once

#include <QString>
#include <QStringList>

namespace rix {

// The program's command line, read before any window or display is needed:
// the one optional catalogue directory, --help and --version. Qt's own
// options (-platform, -style, ...) are passed over here and left to the
// application object.
struct StartArguments {
  enum class Action { Run, Help, Version, Fail };

  Action action = Action::Run;
  // Empty, or the catalogue directory as given; ChooseAppDirectory takes it.
  QStringList directory;
  // What to print: the usage or version on standard output, or the one error
  // line on standard error. Ends with a line break.
  QString text;
  int exitCode = 0;

  // arguments holds the program name first, as argv does. userDataDir is
  // named in the usage as the place used without a directory.
  static StartArguments Parse(const QStringList& arguments, const QString& userDataDir);
};

}  // namespace rix
