#pragma once

#include <QString>
#include <QStringList>

namespace rix {

// Splits a command line into arguments as the Microsoft C runtime does:
// blanks and tabs separate, double quotes group, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote, "" inside quotes
// is a literal quote. The program name takes quotes only.
QStringList SplitCommandLine(const QString& commandLine);

// A program named without a directory is looked for in the application
// directory, then the working directory, then PATH. Empty when not found.
QString FindProgram(const QString& name, const QString& appDir, const QString& workingDir);

// Starts programs for the launch. The front end never waits for them.
class ProcessStarter {
public:
  virtual ~ProcessStarter() = default;
  // Returns false when the program could not be started.
  virtual bool start(const QString& commandLine, const QString& workingDir,
                     const QString& appDir) = 0;
};

// A detached process in a session of its own, started without a shell: a
// cell holding ";", "$(...)" or quotes reaches the program as text.
class DetachedProcessStarter : public ProcessStarter {
public:
  bool start(const QString& commandLine, const QString& workingDir, const QString& appDir) override;
};

// Whether a file name matches a wildcard mask ("*" and "?"), ignoring ASCII
// case, as the system's directory search does.
bool WildcardMatch(const QString& mask, const QString& name);

}  // namespace rix
