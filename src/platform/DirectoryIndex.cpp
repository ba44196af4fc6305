#include "platform/DirectoryIndex.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QStringList>
#include <cstring>

#include "platform/AppPaths.h"
#include "platform/Big5.h"

namespace rix {

namespace {

// File names are compared as the bytes the system stores, with ASCII
// letters folded.
QByteArray Fold(QByteArray s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

// The native form of the name a list gives a UTF-8 file name whose Big5
// form differs from it; empty when the two are the same.
QByteArray Big5FormOf(QByteArrayView name) {
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return {};
  const QString decoded = QFile::decodeName(name.toByteArray());
  if (QFile::encodeName(decoded) != name) return {};
  const QString shown = Big5RoundTrip(decoded);
  return shown == decoded ? QByteArray() : QFile::encodeName(shown);
}

}  // namespace

DirectoryIndex::DirectoryIndex(const QString& nativeDir) : root_(nativeDir) {
  if (!root_.endsWith(u'/')) root_ += u'/';
}

namespace {

inline std::uint32_t HashOf(QByteArrayView s) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

}  // namespace

const DirectoryIndex::Listing::Slot* DirectoryIndex::Listing::find(QByteArrayView folded) const {
  if (table.empty() || folded.isEmpty()) return nullptr;
  const size_t mask = table.size() - 1;
  for (size_t i = HashOf(folded) & mask;; i = (i + 1) & mask) {
    const Slot& s = table[i];
    if (s.len == 0) return nullptr;
    if (s.len == static_cast<std::uint32_t>(folded.size()) &&
        std::memcmp(names.constData() + s.off, folded.data(), s.len) == 0)
      return &s;
  }
}

const DirectoryIndex::Listing& DirectoryIndex::listing(const QString& dir) {
  auto it = listings_.find(dir);
  if (it != listings_.end()) return *it;
  Listing l;
  std::vector<Listing::Slot> entries;
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
      const size_t len = std::strlen(n);
      Listing::Slot s;
      s.off = static_cast<std::uint32_t>(l.names.size());
      s.len = static_cast<std::uint32_t>(len);
      s.isFile = file;
      l.names.append(n, static_cast<qsizetype>(len));
      char* p = l.names.data() + s.off;
      for (size_t i = 0; i < len; ++i)
        if (p[i] >= 'A' && p[i] <= 'Z') p[i] = static_cast<char>(p[i] + 32);
      if (!file) l.realDirName.insert(QByteArray(p, static_cast<qsizetype>(len)), QByteArray(n));
      entries.push_back(s);
      // A name Big5 cannot carry is written into lists in its Big5 form;
      // that form finds the file too.
      const QByteArray alias = Big5FormOf(QByteArrayView(n, static_cast<qsizetype>(len)));
      if (!alias.isEmpty()) {
        Listing::Slot a = s;
        a.off = static_cast<std::uint32_t>(l.names.size());
        a.len = static_cast<std::uint32_t>(alias.size());
        l.names.append(Fold(alias));
        if (!file) l.realDirName.insert(Fold(alias), QByteArray(n));
        entries.push_back(a);
      }
    }
    ::closedir(d);
  }
  size_t size = 16;
  while (size < entries.size() * 2) size *= 2;
  l.table.assign(size, Listing::Slot{});
  const size_t mask = size - 1;
  for (const Listing::Slot& e : entries) {
    const QByteArrayView key(l.names.constData() + e.off, e.len);
    for (size_t i = HashOf(key) & mask;; i = (i + 1) & mask) {
      Listing::Slot& s = l.table[i];
      if (s.len == 0) {
        s = e;
        break;
      }
      if (s.len == e.len && std::memcmp(l.names.constData() + s.off, key.data(), e.len) == 0) {
        // A file wins over a directory whose name differs only in case.
        s.isFile = s.isFile || e.isFile;
        break;
      }
    }
  }
  return *listings_.insert(dir, std::move(l));
}

bool DirectoryIndex::hasAsciiFile(QByteArrayView name) {
  if (name.isEmpty() || name.size() > 255)
    return name.isEmpty() ? false : hasFile(QString::fromLatin1(name));
  char folded[256];
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '/' || c == '\\') return hasFile(QString::fromLatin1(name));
    folded[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  const Listing::Slot* slot = listing(root_).find(QByteArrayView(folded, name.size()));
  return slot && slot->isFile;
}

bool DirectoryIndex::hasFile(const QString& name) {
  if (name.isEmpty()) return false;
  QByteArray n = QFile::encodeName(name);
  if (!n.contains('\\') && !n.contains('/')) {
    const Listing::Slot* slot = listing(root_).find(Fold(n));
    return slot && slot->isFile;
  }
  n.replace('\\', '/');
  if (n.endsWith('/')) return false;
  if (n.startsWith('.') || n.contains("/."))
    n = QFile::encodeName(CleanRelativeName(QFile::decodeName(n)));
  const QList<QByteArray> parts = n.split('/');
  QString dir = root_;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (parts[i].isEmpty()) continue;
    if (parts[i] == "..") {  // only those that climb above the directory are left
      dir += QStringLiteral("../");
      continue;
    }
    const Listing& l = listing(dir);
    const QByteArray key = Fold(parts[i]);
    const Listing::Slot* f = l.find(key);
    if (!f) return false;
    if (i == parts.size() - 1) return f->isFile;
    const auto d = l.realDirName.constFind(key);
    if (d == l.realDirName.constEnd()) return false;
    dir += QFile::decodeName(*d) + u'/';
  }
  return false;
}

}  // namespace rix
