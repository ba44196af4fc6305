#include "platform/DirectorySearch.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/AppPaths.h"
#include "platform/FileError.h"

namespace rix {

namespace {

inline char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Bytes of the character that starts at s: a UTF-8 lead byte with its
// continuation bytes, else one byte.
inline qsizetype CharLength(QByteArrayView t, qsizetype s) {
  qsizetype n = 1;
  if (static_cast<unsigned char>(t[s]) >= 0xC0)
    while (s + n < t.size() && (static_cast<unsigned char>(t[s + n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

bool WildcardMatchBytes(QByteArrayView mask, QByteArrayView name) {
  // Iterative match with one backtrack point for the last "*".
  qsizetype m = 0, s = 0, star = -1, mark = 0;
  while (s < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      mark = s;
    } else if (m < mask.size() && mask[m] == '?') {
      s += CharLength(name, s);
      ++m;
    } else if (m < mask.size() && Fold(mask[m]) == Fold(name[s])) {
      ++m;
      ++s;
    } else if (star >= 0) {
      m = star + 1;
      mark += CharLength(name, mark);
      s = mark;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  // "*.*" and "name.*" match names without a dot too.
  if (mask.sliced(m) == QByteArrayView(".*")) return true;
  return m == mask.size();
}

DirectorySearch::DirectorySearch(const QString& nativeDir, const QString& mask) {
  QString dir = nativeDir;
  if (!dir.endsWith(u'/')) dir += u'/';
  // The game directory itself must be there, as entering it would need.
  const QByteArray base = QFile::encodeName(dir);
  DIR* d = ::access(base.constData(), X_OK) == 0 ? ::opendir(base.constData()) : nullptr;
  if (!d) {
    const int err = errno;
    throw FileError::FromErrno(err, dir.chopped(1));
  }
  ::closedir(d);
  const QString own = DirectoryPart(mask);
  QString where = dir;
  if (!own.isEmpty()) {
    const QString native = NativePath(own);
    where = CaseResolver().resolve(native.startsWith(u'/') ? native : dir + native);
    if (!where.endsWith(u'/')) where += u'/';
  }
  search(QFile::encodeName(where), QFile::encodeName(FileNamePart(mask)));
}

void DirectorySearch::search(const QByteArray& dir, const QByteArray& mask) {
  if (mask.isEmpty()) return;
  DIR* d = ::opendir(dir.constData());
  if (!d) return;
  const bool hidden = mask.startsWith('.');
  while (const dirent* e = ::readdir(d)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (!hidden || n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    const size_t len = std::strlen(n);
    if (!WildcardMatchBytes(mask, QByteArrayView(n, static_cast<qsizetype>(len)))) continue;
    Entry entry;
    if (e->d_type == DT_DIR || e->d_type == DT_REG) {
      entry.isDir = e->d_type == DT_DIR;
    } else {
      // Links and file systems without a type: ask, for these only.
      struct stat st {};
      const QByteArray full = dir + n;
      entry.isDir = ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entry.off = static_cast<std::uint32_t>(names_.size());
    entry.len = static_cast<std::uint32_t>(len);
    names_.append(n, static_cast<qsizetype>(len));
    entries_.push_back(entry);
  }
  ::closedir(d);
  const char* base = names_.constData();
  std::sort(entries_.begin(), entries_.end(), [base](const Entry& a, const Entry& b) {
    const size_t n = std::min(a.len, b.len);
    for (size_t i = 0; i < n; ++i) {
      const char x = Fold(base[a.off + i]), y = Fold(base[b.off + i]);
      if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.len != b.len) return a.len < b.len;
    return std::memcmp(base + a.off, base + b.off, a.len) < 0;
  });
}

}  // namespace rix
