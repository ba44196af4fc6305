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
