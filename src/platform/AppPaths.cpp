#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Big5.h"

namespace rix {

namespace {

inline bool IsSep(QChar c) { return c == u'\\' || c == u'/' || c == u':'; }

inline ushort FoldAscii(ushort c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

bool Exists(const QString& p) { return QFileInfo::exists(p); }

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

const QStringList& CaseResolver::listing(const QString& dir) {
  auto it = listings_.find(dir);
  if (it == listings_.end())
    it = listings_.insert(dir, QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot));
  return *it;
}

QString CaseResolver::resolve(const QString& nativePath) {
  if (nativePath.isEmpty() || Exists(nativePath)) return nativePath;
  const bool absolute = nativePath.startsWith(u'/');
  const QStringList parts = nativePath.split(u'/');
  QString cur = absolute ? QStringLiteral("/") : QString();
  qsizetype i = absolute ? 1 : 0;
  for (; i < parts.size(); ++i) {
    const QString& comp = parts[i];
    const bool last = i == parts.size() - 1;
    if (comp.isEmpty() || comp == u'.' || comp == QLatin1String("..")) {
      cur += comp;
      if (!last) cur += u'/';
      continue;
    }
    QString found;
    if (Exists(cur + comp)) {
      found = comp;
    } else {
      const QStringList& entries = listing(cur.isEmpty() ? QStringLiteral(".") : cur);
      for (const QString& entry : entries) {
        if (EqualsIgnoringAsciiCase(entry, comp)) {
          found = entry;
          break;
        }
      }
      // A list names a file whose name Big5 cannot carry by the name's Big5
      // form ("?" for such characters); the file is the one of that form.
      for (qsizetype k = 0; found.isEmpty() && k < entries.size(); ++k) {
        const QString& entry = entries[k];
        if (!IsAscii(entry) && EqualsIgnoringAsciiCase(Big5RoundTrip(entry), comp)) found = entry;
      }
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

QString ResolvePath(const QString& programPath) {
  CaseResolver r;
  return r.resolve(NativePath(programPath));
}

}  // namespace rix
