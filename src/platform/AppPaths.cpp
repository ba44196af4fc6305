#include "platform/AppPaths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Big5.h"
#include "platform/FileOps.h"

namespace rix {

namespace {

inline bool IsSep(QChar c) { return c == u'\\' || c == u'/' || c == u':'; }

inline ushort FoldAscii(ushort c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

bool Exists(const QString& p) {
  struct stat st {};
  return !p.isEmpty() && ::stat(QFile::encodeName(p).constData(), &st) == 0;
}

bool IsAscii(const QString& s) {
  for (QChar c : s)
    if (c.unicode() >= 0x80) return false;
  return true;
}

}  // namespace

QString ApplyAppDirRule(const QString& value, const QString& appDir) {
  if (value.contains(u':') || value.startsWith(u'/')) return value;
  return appDir + value;
}

QString NativePath(const QString& path) {
  QString p = path;
  p.replace(u'\\', u'/');
  if (p.size() >= 2 && p[1] == u':' && p[0].isLetter()) {
    p.remove(0, 2);
    if (!p.startsWith(u'/')) p.prepend(u'/');
  }
  return p;
}

QString CleanRelativeName(const QString& name) {
  QString n = name;
  n.replace(u'\\', u'/');
  // Most names have no such part: they go back as they are, without a split.
  if (!n.startsWith(u'.') && !n.contains(QLatin1String("/."))) return n;
  const QStringList parts = n.split(u'/');
  if (!parts.contains(QStringLiteral(".")) && !parts.contains(QStringLiteral(".."))) return n;
  QStringList kept;
  for (const QString& part : parts) {
    if (part == u'.') continue;
    const bool canClimb = !kept.isEmpty() && kept.last() != QLatin1String("..") &&
                          !(kept.size() == 1 && kept.first().isEmpty());
    if (part == QLatin1String("..") && canClimb) {
      kept.removeLast();
      continue;
    }
    kept << part;
  }
  return kept.join(u'/');
}

QString DirectoryPart(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    if (IsSep(path[i])) return path.left(i + 1);
  return {};
}

QString FileNamePart(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    if (IsSep(path[i])) return path.mid(i + 1);
  return path;
}

QString PickedPath(const QString& chosen, const QString& baseDir, bool folder, bool insideOnly) {
  const QString path = QDir::cleanPath(chosen);
  const QString bases[] = {QDir::cleanPath(baseDir), QFileInfo(baseDir).canonicalFilePath()};
  for (QString base : bases) {
    if (base.isEmpty()) continue;
    if (!base.endsWith(u'/')) base += u'/';
    QString rel;
    if (path + u'/' == base)
      rel = QString();  // the directory itself: the empty value names it
    else if (path.startsWith(base))
      rel = path.mid(base.size());
    else
      continue;
    rel.replace(u'/', u'\\');
    if (folder && !rel.isEmpty()) rel += u'\\';
    return rel;
  }
  if (insideOnly) return {};
  return folder && !path.endsWith(u'/') ? path + u'/' : path;
}

bool EqualsIgnoringAsciiCase(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode())) return false;
  return true;
}

// A directory's names for lookups that ignore ASCII case.
struct CaseResolver::Names {
  QStringList entries;             // in the listing's order
  bool indexed = false;            // the two below are filled
  QHash<QString, QString> byName;  // folded name: the first entry of that fold
  QHash<QString, QString> byBig5;  // folded Big5 form of a non-ASCII name: the first such entry
  QString find(const QString& name) const;
};

namespace {

// The name with ASCII capitals made small; a name without any shares the
// original's characters (a kept directory holds one for every entry).
QString FoldedAscii(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && FoldAscii(s[i].unicode()) == s[i].unicode()) ++i;
  if (i == s.size()) return s;
  QString folded = s;
  for (; i < folded.size(); ++i) folded[i] = QChar(FoldAscii(folded[i].unicode()));
  return folded;
}

// Names read for one resolver are looked through; names kept for many
// lookups are indexed once.
std::shared_ptr<const CaseResolver::Names> ReadNames(const QString& dir, bool index) {
  auto names = std::make_shared<CaseResolver::Names>();
  // Every entry but "." and "..", ordered by the names made small (then as
  // they stand, so that the order is the same at every reading).
  if (DIR* d = ::opendir(QFile::encodeName(dir).constData())) {
    std::vector<std::pair<QString, QString>> read;
    while (const dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      QString name = QFile::decodeName(e->d_name);
      read.emplace_back(name.toLower(), std::move(name));
    }
    ::closedir(d);
    std::sort(read.begin(), read.end());
    names->entries.reserve(static_cast<qsizetype>(read.size()));
    for (auto& [lower, name] : read) names->entries.append(std::move(name));
  }
  if (!index) return names;
  // In the listing's order, so that the first of several matches is the
  // one a look down the listing meets first.
  for (const QString& entry : std::as_const(names->entries)) {
    const QString key = FoldedAscii(entry);
    if (!names->byName.contains(key)) names->byName.insert(key, entry);
  }
  for (const QString& entry : std::as_const(names->entries)) {
    if (IsAscii(entry)) continue;
    const QString key = FoldedAscii(Big5RoundTrip(entry));
    if (!names->byBig5.contains(key)) names->byBig5.insert(key, entry);
  }
  names->indexed = true;
  return names;
}

}  // namespace

QString CaseResolver::Names::find(const QString& name) const {
  if (indexed) {
    const QString key = FoldedAscii(name);
    const QString found = byName.value(key);
    return found.isEmpty() ? byBig5.value(key) : found;
  }
  for (const QString& entry : entries)
    if (EqualsIgnoringAsciiCase(entry, name)) return entry;
  // A list names a file whose name Big5 cannot carry by the name's Big5
  // form ("?" for such characters); the file is the one of that form.
  for (const QString& entry : entries)
    if (!IsAscii(entry) && EqualsIgnoringAsciiCase(Big5RoundTrip(entry), name)) return entry;
  return {};
}

namespace {

// What tells that a directory is as it was: which directory it is and its
// change and modification times. Empty when it cannot be read, or when it
// changed so lately that a change still to come could fall in the same tick
// of a coarse clock.
QByteArray DirStamp(const QString& dir) {
  struct stat st {};
  if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  if (now.tv_sec - std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec) < 2) return {};
  const qint64 parts[] = {static_cast<qint64>(st.st_dev),         static_cast<qint64>(st.st_ino),
                          static_cast<qint64>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                          static_cast<qint64>(st.st_ctim.tv_sec), st.st_ctim.tv_nsec};
  return QByteArray(reinterpret_cast<const char*>(parts), sizeof parts);
}

// Names of directories kept between resolvers: a key press in a long list
// looks up a picture that is often missing, and reading a directory of
// thousands of pictures for each press took milliseconds.
struct SharedNames {
  QMutex mutex;
  QHash<QString, std::pair<QByteArray, std::shared_ptr<const CaseResolver::Names>>> byDir;
};

SharedNames& Shared() {
  static SharedNames shared;
  return shared;
}

constexpr int kSharedDirs = 16;

}  // namespace

const CaseResolver::Names& CaseResolver::names(const QString& dir) {
  auto it = names_.find(dir);
  if (it != names_.end()) return **it;
  return names(dir, DirStamp(dir));
}

const CaseResolver::Names& CaseResolver::names(const QString& dir, const QByteArray& stamp) {
  auto it = names_.find(dir);
  if (it != names_.end()) return **it;
  std::shared_ptr<const Names> found;
  SharedNames& shared = Shared();
  if (!stamp.isEmpty()) {
    const QMutexLocker lock(&shared.mutex);
    auto kept = shared.byDir.constFind(dir);
    if (kept != shared.byDir.constEnd() && kept->first == stamp) found = kept->second;
  }
  if (!found) {
    found = ReadNames(dir, !stamp.isEmpty());
    // Kept only when the directory stood still before it was read.
    if (!stamp.isEmpty()) {
      const QMutexLocker lock(&shared.mutex);
      if (shared.byDir.size() >= kSharedDirs) shared.byDir.clear();
      shared.byDir.insert(dir, {stamp, found});
    }
  }
  return **names_.insert(dir, std::move(found));
}

QString CaseResolver::resolve(const QString& nativePath) {
  if (nativePath.isEmpty() || Exists(nativePath)) return nativePath;
  // Most often only the file is missing (a game without a picture): when
  // its directory exists as written, so does every part of it, and only the
  // last name needs looking up.
  const qsizetype slash = nativePath.lastIndexOf(u'/');
  if (slash > 0) {
    const QString name = nativePath.mid(slash + 1);
    const QString dir = nativePath.left(slash + 1);
    if (!name.isEmpty() && name != u'.' && name != QLatin1String("..") && Exists(dir)) {
      const QString found = names(dir).find(name);
      return found.isEmpty() ? nativePath : dir + found;
    }
  }
  const bool absolute = nativePath.startsWith(u'/');
  const QStringList parts = nativePath.split(u'/');
  QString cur = absolute ? QStringLiteral("/") : QString();
  qsizetype i = absolute ? 1 : 0;
  const auto special = [](const QString& comp) {
    return comp.isEmpty() || comp == u'.' || comp == QLatin1String("..");
  };
  // The parts that exist as written need no lookup: start below the deepest
  // of them (a missing picture directory: its parent), not at the root. The
  // path and its directory are known to be missing by now.
  qsizetype missingFrom = -1;
  if (std::none_of(parts.begin() + i, parts.end(), special)) {
    for (qsizetype k = parts.size() - 2; k > i; --k) {
      const QString prefix = cur + QStringList(parts.mid(i, k - i)).join(u'/');
      if (Exists(prefix)) {
        cur = prefix + u'/';
        i = k;
        break;
      }
    }
    missingFrom = i;
  }
  for (; i < parts.size(); ++i) {
    const QString& comp = parts[i];
    const bool last = i == parts.size() - 1;
    if (special(comp)) {
      cur += comp;
      if (!last) cur += u'/';
      continue;
    }
    QString found;
    if (i != missingFrom && Exists(cur + comp)) {
      found = comp;
    } else {
      found = names(cur.isEmpty() ? QStringLiteral(".") : cur).find(comp);
    }
    if (found.isEmpty()) {
      // Nothing matches: the rest stays as written.
      return cur + parts.mid(i).join(u'/');
    }
    cur += found;
    if (!last) cur += u'/';
  }
  return cur;
}

QString CaseResolver::resolveFile(const QString& nativePath) {
  // A picture looked up at every key press of a long list: its directory's
  // kept listing, current while the directory's stamp stays, tells whether
  // and as what the name is there, as resolve() would find it.
  const qsizetype slash = nativePath.lastIndexOf(u'/');
  if (slash > 0) {
    const QString name = nativePath.mid(slash + 1);
    const QString dir = nativePath.left(slash + 1);
    const QByteArray stamp = name.isEmpty() || name == u'.' || name == QLatin1String("..")
                                 ? QByteArray()
                                 : DirStamp(dir);
    if (!stamp.isEmpty()) {
      const Names& listed = names(dir, stamp);
      if (listed.indexed) {
        const QString key = FoldedAscii(name);
        const auto first = listed.byName.constFind(key);
        // Of names that differ in case only, the one written is found as
        // written, whichever of them the listing has first: resolve() asks.
        if (first == listed.byName.cend() || *first == name) {
          const QString found = first == listed.byName.cend() ? listed.byBig5.value(key) : name;
          return !found.isEmpty() && FileExists(dir + found) ? dir + found : QString();
        }
      }
    }
  }
  const QString found = resolve(nativePath);
  return FileExists(found) ? found : QString();
}

QString ResolvePath(const QString& programPath) {
  CaseResolver r;
  return r.resolve(NativePath(programPath));
}

QString ResolveFile(const QString& programPath) {
  CaseResolver r;
  return r.resolveFile(NativePath(programPath));
}

}  // namespace rix
