#include "platform/DirectoryIndex.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QStringList>

namespace rix {

namespace {

QString Fold(const QString& s) {
  QString out = s;
  for (QChar& c : out)
    if (c.unicode() >= 'A' && c.unicode() <= 'Z') c = QChar(c.unicode() + 32);
  return out;
}

}  // namespace

DirectoryIndex::DirectoryIndex(const QString& nativeDir) : root_(nativeDir) {
  if (!root_.endsWith(u'/')) root_ += u'/';
}

const DirectoryIndex::Listing& DirectoryIndex::listing(const QString& dir) {
  auto it = listings_.find(dir);
  if (it != listings_.end()) return *it;
  Listing l;
  const QByteArray name = QFile::encodeName(dir);
  if (DIR* d = ::opendir(name.constData())) {
    while (const dirent* e = ::readdir(d)) {
      const char* n = e->d_name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      bool file;
      if (e->d_type == DT_REG) {
        file = true;
      } else if (e->d_type == DT_DIR) {
        file = false;
      } else {
        // Links and file systems without a type: ask, for these only.
        struct stat st {};
        const QByteArray full = name + '/' + n;
        if (::stat(full.constData(), &st) != 0) continue;
        file = !S_ISDIR(st.st_mode);
      }
      const QString real = QFile::decodeName(n);
      const QString key = Fold(real);
      // An exact-case file wins over a folded twin that is a directory.
      if (!l.isFile.contains(key) || file) {
        l.isFile.insert(key, file);
        l.realName.insert(key, real);
      }
    }
    ::closedir(d);
  }
  return *listings_.insert(dir, std::move(l));
}

bool DirectoryIndex::hasFile(const QString& name) {
  QString n = name;
  n.replace(u'\\', u'/');
  if (n.isEmpty() || n.endsWith(u'/')) return false;
  QStringList parts = n.split(u'/', Qt::SkipEmptyParts);
  QString dir = root_;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const Listing& l = listing(dir);
    const QString key = Fold(parts[i]);
    const auto f = l.isFile.constFind(key);
    if (f == l.isFile.constEnd()) return false;
    if (i == parts.size() - 1) return *f;
    if (*f) return false;
    dir += l.realName.value(key) + u'/';
  }
  return false;
}

}  // namespace rix
