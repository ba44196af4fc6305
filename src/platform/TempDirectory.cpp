#include "platform/TempDirectory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace rix {

QString PrivateTempDirPath() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) {
    if (const passwd* pw = ::getpwuid(::getuid())) user = QString::fromLocal8Bit(pw->pw_name);
  }
  if (user.isEmpty()) user = QString::number(::getuid());
  user.replace(u'/', u'_');
  return QDir::tempPath() + QStringLiteral("/RixFront-") + user + u'/';
}

bool EnsurePrivateTempDir(const QString& path) {
  QString p = path;
  while (p.endsWith(u'/') && p.size() > 1) p.chop(1);
  const QByteArray name = QFile::encodeName(p);
  struct stat st {};
  if (::lstat(name.constData(), &st) != 0) {
    if (errno != ENOENT) return false;
    QDir().mkpath(QFileInfo(p).absolutePath());
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
    if (::lstat(name.constData(), &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

}  // namespace rix

#include <fcntl.h>
#include <sys/file.h>

#include "platform/DirectoryTree.h"

namespace rix {

bool SweepPrivateTempDir(const QString& path) {
  if (!EnsurePrivateTempDir(path)) return false;
  const QString lockPath = QDir(path).filePath(QStringLiteral(".lock"));
  static int lockFd = -1;  // held until the process ends
  if (lockFd < 0) {
    lockFd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return false;
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
      ::close(lockFd);
      lockFd = -1;
      return false;
    }
  }
  // Links are removed, never followed; trees of any depth go, since nothing builds whole
  // paths.
  return ClearDirectory(path, ".lock");
}

}  // namespace rix
