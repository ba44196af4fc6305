#include "platform/ProcessStarter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/AppPaths.h"
#include "platform/DirectorySearch.h"

namespace rix {

QStringList SplitCommandLine(const QString& commandLine) {
  QStringList args;
  const QString& s = commandLine;
  qsizetype i = 0;
  const qsizetype n = s.size();
  auto blank = [&](qsizetype k) { return s[k] == u' ' || s[k] == u'\t'; };
  while (i < n && blank(i)) ++i;
  if (i >= n) return args;
  // The program name: quotes group, backslashes are plain.
  {
    QString arg;
    bool quoted = false;
    for (; i < n; ++i) {
      if (s[i] == u'"') {
        quoted = !quoted;
        continue;
      }
      if (!quoted && blank(i)) break;
      arg += s[i];
    }
    args << arg;
  }
  for (;;) {
    while (i < n && blank(i)) ++i;
    if (i >= n) break;
    QString arg;
    bool quoted = false;
    while (i < n) {
      if (!quoted && blank(i)) break;
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
    args << arg;
  }
  return args;
}

QString FindProgram(const QString& name, const QString& appDir, const QString& workingDir) {
  if (name.isEmpty()) return {};
  auto runnable = [](const QString& p) {
    const QFileInfo fi(p);
    return fi.isFile() && fi.isExecutable();
  };
  if (name.contains(u'/')) {
    const QString p = QDir::isAbsolutePath(name) ? name : QDir(workingDir).filePath(name);
    return runnable(p) ? p : QString();
  }
  for (const QString& dir : {appDir, workingDir}) {
    if (dir.isEmpty()) continue;
    CaseResolver r;
    const QString p = r.resolve(QDir(dir).filePath(name));
    if (runnable(p)) return p;
  }
  return QStandardPaths::findExecutable(name);
}

bool DetachedProcessStarter::start(const QString& commandLine, const QString& workingDir,
                                   const QString& appDir) {
  QStringList args = SplitCommandLine(commandLine);
  if (args.isEmpty()) return false;
  const QString program = FindProgram(args.takeFirst(), appDir, workingDir);
  if (program.isEmpty()) return false;
  QProcess p;
  p.setProgram(program);
  p.setArguments(args);
  p.setWorkingDirectory(workingDir);
  p.setStandardInputFile(QProcess::nullDevice());
  return p.startDetached();
}

bool WildcardMatch(const QString& mask, const QString& name) {
  return WildcardMatchBytes(QFile::encodeName(mask), QFile::encodeName(name));
}

}  // namespace rix
