#pragma once

#include <QString>
#include <QStringList>

namespace rix {

// Splits a command line into arguments as the Microsoft C runtime does:
// blanks and tabs separate, double quotes group, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote, "" inside quotes
// is a literal quote. The program name takes quotes only.
QStringList SplitCommandLine(const QString& commandLine);

// The same rules for a typed part that follows the program: every word is an
// argument, none is a program name.
QStringList SplitCommandArguments(const QString& text);

// A program named without a directory, looked up in the directories of a
// PATH value as a shell does: the first executable file wins. Empty when none.
QString FindOnPath(const QString& name, const QString& searchPath);

// A process as the system knows it: its id and its start time (clock ticks
// after boot), so that a reused id is not taken for the process.
struct ProcessId {
  qint64 pid = 0;
  quint64 startTime = 0;
  bool isValid() const { return pid > 0 && startTime > 0; }
  friend bool operator==(const ProcessId&, const ProcessId&) = default;
};

// The identity of a running process; invalid when there is none of that id.
ProcessId IdentifyProcess(qint64 pid);
// Whether the process still runs (a zombie counts as ended).
bool IsRunning(const ProcessId& process);

// What the launch starts: a program, its arguments one by one, and the
// directory it starts in. The command text is what the user would read.
struct ProcessStart {
  QString program;
  QStringList arguments;
  QString workingDir;
  QString command;
};

// Starts programs for the launch. The front end never waits for them.
class ProcessStarter {
public:
  virtual ~ProcessStarter() = default;
  // The started process; invalid when it could not be started.
  virtual ProcessId start(const ProcessStart& what) = 0;
  virtual bool running(const ProcessId& process) const { return IsRunning(process); }
};

// A detached process in a session of its own, started without a shell: a
// cell holding ";", "$(...)" or quotes reaches the program as text.
class DetachedProcessStarter : public ProcessStarter {
public:
  ProcessId start(const ProcessStart& what) override;
};

// Whether a file name matches a wildcard mask ("*" and "?"), ignoring ASCII
// case, as the system's directory search does.
bool WildcardMatch(const QString& mask, const QString& name);

}  // namespace rix
