#include "platform/ProcessStarter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "platform/DirectorySearch.h"

namespace rix {

namespace {

bool Blank(QChar c) { return c == u' ' || c == u'\t'; }

// One argument from `i` on, by the runtime's rules for every word after the program.
QString TakeArgument(const QString& s, qsizetype& i) {
  const qsizetype n = s.size();
  QString arg;
  bool quoted = false;
  while (i < n) {
    if (!quoted && Blank(s[i])) break;
    if (s[i] == u'\\') {
      qsizetype slashes = 0;
      while (i < n && s[i] == u'\\') {
        ++slashes;
        ++i;
      }
      if (i < n && s[i] == u'"') {
        arg += QString(slashes / 2, u'\\');
        if (slashes % 2) {
          arg += u'"';
          ++i;
        }
      } else {
        arg += QString(slashes, u'\\');
      }
      continue;
    }
    if (s[i] == u'"') {
      if (quoted && i + 1 < n && s[i + 1] == u'"') {
        arg += u'"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    arg += s[i];
    ++i;
  }
  return arg;
}

void TakeArguments(const QString& s, qsizetype i, QStringList* args) {
  for (;;) {
    while (i < s.size() && Blank(s[i])) ++i;
    if (i >= s.size()) return;
    args->append(TakeArgument(s, i));
  }
}

}  // namespace

QStringList SplitCommandLine(const QString& s) {
  QStringList args;
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n && Blank(s[i])) ++i;
  if (i >= n) return args;
  // The program name: quotes group, backslashes are plain.
  QString program;
  bool quoted = false;
  for (; i < n; ++i) {
    if (s[i] == u'"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && Blank(s[i])) break;
    program += s[i];
  }
  args << program;
  TakeArguments(s, i, &args);
  return args;
}

QStringList SplitCommandArguments(const QString& text) {
  QStringList args;
  TakeArguments(text, 0, &args);
  return args;
}

QString FindOnPath(const QString& name, const QString& searchPath) {
  if (name.isEmpty() || name.contains(u'/')) return {};
  for (const QString& dir : searchPath.split(u':')) {
    // An empty PATH entry means the current directory, which this program never relies on.
    if (dir.isEmpty()) continue;
    const QFileInfo fi(QDir(dir).filePath(name));
    if (fi.isFile() && fi.isExecutable()) return fi.absoluteFilePath();
  }
  return {};
}

ProcessId IdentifyProcess(qint64 pid) {
  if (pid <= 0) return {};
  QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray stat = f.read(4096);
  // The name in parentheses may hold blanks and parentheses; the fields follow the last ")".
  const qsizetype close = stat.lastIndexOf(')');
  if (close < 0) return {};
  const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
  // Field 3 is the state, field 22 the start time; the list starts at field 3.
  if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X") return {};
  bool ok = false;
  const quint64 start = fields[19].toULongLong(&ok);
  return ok ? ProcessId{pid, start} : ProcessId{};
}

bool IsRunning(const ProcessId& process) {
  return process.isValid() && IdentifyProcess(process.pid) == process;
}

ProcessId DetachedProcessStarter::start(const ProcessStart& what) {
  if (what.program.isEmpty()) return {};
  QProcess p;
  p.setProgram(what.program);
  p.setArguments(what.arguments);
  p.setWorkingDirectory(what.workingDir);
  p.setStandardInputFile(QProcess::nullDevice());
  qint64 pid = 0;
  if (!p.startDetached(&pid)) return {};
  return IdentifyProcess(pid);
}

bool WildcardMatch(const QString& mask, const QString& name) {
  return WildcardMatchBytes(QFile::encodeName(mask), QFile::encodeName(name));
}

}  // namespace rix
