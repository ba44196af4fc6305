#include "platform/DirectoryIndex.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <algorithm>
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

// A listing still being read is waited for: it owns nothing of the caller's.
DirectoryIndex::~DirectoryIndex() = default;

void DirectoryIndex::startListing() {
  if (rootListing_ || pendingRoot_.valid()) return;
  pendingRoot_ = std::async(std::launch::async, [dir = root_] { return Read(dir); });
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// ASCII capitals of eight bytes at once to small letters; other bytes stay.
inline std::uint64_t FoldWord(std::uint64_t w) {
  const std::uint64_t low7 = w & ~kHighs;
  const std::uint64_t fromA = low7 + (0x80 - 'A') * kOnes;      // high bit: byte >= 'A'
  const std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kOnes;  // high bit: byte > 'Z'
  const std::uint64_t capitals = fromA & ~pastZ & ~w & kHighs;
  return w | (capitals >> 2);
}

// The high bit of every byte of w that equals b.
inline std::uint64_t BytesEqual(std::uint64_t w, unsigned char b) {
  const std::uint64_t x = w ^ (b * kOnes);
  return (x - kOnes) & ~x & kHighs;
}

// k (1 to 7) bytes at p in the low bytes of a word, the others zero; reads
// no byte past p + k.
inline std::uint64_t LoadPartial(const char* p, size_t k) {
  if (k >= 4) {
    std::uint32_t lo, hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + k - 4, 4);
    return lo | (static_cast<std::uint64_t>(hi) << (8 * (k - 4)));
  }
  std::uint64_t w = static_cast<unsigned char>(p[0]);
  if (k > 1) w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[1])) << 8;
  if (k > 2) w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[2])) << 16;
  return w;
}

// A name of at most 255 bytes, folded and hashed eight bytes a step into a
// zero-padded buffer. Loads and stores are of whole words (a copy of a length
// known only at run time costs more than the folding of a short name).
struct FoldedName {
  alignas(8) char bytes[264];
  size_t size = 0;
  std::uint32_t hash = 0;
  bool plain = true;  // all ASCII and no separator: looked up as it stands

  FoldedName(const char* in, size_t n) : size(n < 255 ? n : 255) {
    n = size;
    const size_t words = (n + 7) / 8;
    std::uint64_t highs = 0;
    std::uint64_t separators = 0;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(n);
    for (size_t i = 0; i < words; ++i) {
      std::uint64_t w;
      if (8 * i + 8 <= n)
        std::memcpy(&w, in + 8 * i, 8);
      else
        w = LoadPartial(in + 8 * i, n - 8 * i);
      highs |= w;
      separators |= BytesEqual(w, '/') | BytesEqual(w, '\\');
      w = FoldWord(w);
      std::memcpy(bytes + 8 * i, &w, 8);
      h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 29;
    }
    hash = static_cast<std::uint32_t>(h ^ (h >> 32));
    plain = (highs & kHighs) == 0 && separators == 0;
  }
  // Copies the folded name to out in whole words: up to 7 bytes past its end
  // are overwritten.
  void copyWords(char* out) const {
    for (size_t i = 0; i < (size + 7) / 8; ++i) std::memcpy(out + 8 * i, bytes + 8 * i, 8);
  }
  QByteArrayView view() const { return QByteArrayView(bytes, static_cast<qsizetype>(size)); }
};

}  // namespace

std::uint32_t DirectoryIndex::HashOf(QByteArrayView folded) {
  // Folding a folded name changes nothing, so this is the hash of the
  // listing's names and of the names looked up alike.
  if (folded.size() > 255) return 0;
  return FoldedName(folded.data(), static_cast<size_t>(folded.size())).hash;
}

const DirectoryIndex::Listing::Slot* DirectoryIndex::Listing::find(QByteArrayView folded,
                                                                   std::uint32_t hash) const {
  if (table.empty() || folded.isEmpty()) return nullptr;
  const size_t mask = table.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint32_t t = table[i];
    if (t == 0) return nullptr;
    const Slot& s = entries[t - 1];
    if (s.hash == hash && s.len == static_cast<std::uint32_t>(folded.size()) &&
        std::memcmp(names.constData() + s.off, folded.data(), s.len) == 0)
      return &s;
  }
}

const DirectoryIndex::Listing& DirectoryIndex::listing(const QString& dir) {
  if (dir == root_) {
    if (!rootListing_)
      rootListing_ =
          std::make_unique<Listing>(pendingRoot_.valid() ? pendingRoot_.get() : Read(dir));
    return *rootListing_;
  }
  auto it = listings_.find(dir);
  if (it != listings_.end()) return *it;
  return *listings_.insert(dir, Read(dir));
}

namespace {

// Calls fn(name, type) for every entry of the directory but "." and "..",
// type as readdir gives it. On Linux the entries come a megabyte at a time,
// so a directory of tens of thousands of files takes a couple of calls.
template <typename Fn>
void ForEachEntry(const QByteArray& dir, Fn fn) {
  auto dots = [](const char* n) {
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
  };
#ifdef __linux__
  const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  constexpr size_t kBuffer = size_t(1) << 20;
  const std::unique_ptr<char[]> buf(new char[kBuffer]);
  for (;;) {
    const long got = ::syscall(SYS_getdents64, fd, buf.get(), kBuffer);
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      struct Entry {  // the kernel's linux_dirent64
        std::uint64_t ino;
        std::int64_t off;
        unsigned short reclen;
        unsigned char type;
        char name[1];
      };
      const auto* e = reinterpret_cast<const Entry*>(buf.get() + at);
      at += e->reclen;
      if (!dots(e->name)) fn(e->name, e->type);
    }
  }
  ::close(fd);
#else
  if (DIR* d = ::opendir(dir.constData())) {
    while (const dirent* e = ::readdir(d))
      if (!dots(e->d_name)) fn(e->d_name, e->d_type);
    ::closedir(d);
  }
#endif
}

}  // namespace

DirectoryIndex::Listing DirectoryIndex::Read(const QString& dir) {
  Listing l;
  std::vector<Listing::Slot>& entries = l.entries;
  const QByteArray name = QFile::encodeName(dir);
  // The folded names are written straight into one buffer that grows by
  // doubling: an append per name would cost more than the folding.
  qsizetype used = 0;
  auto room = [&](qsizetype n) {
    if (used + n > l.names.size())
      l.names.resize(std::max<qsizetype>(2 * l.names.size(), used + n + 65536));
    return l.names.data() + used;
  };
  ForEachEntry(name, [&](const char* n, unsigned char type) {
    bool file;
    if (type == DT_REG) {
      file = true;
    } else if (type == DT_DIR) {
      file = false;
    } else {
      // Links and file systems without a type: ask, for these only.
      struct stat st {};
      const QByteArray full = name + '/' + n;
      if (::stat(full.constData(), &st) != 0) return;
      file = !S_ISDIR(st.st_mode);
    }
    const size_t len = std::min<size_t>(std::strlen(n), 255);  // NAME_MAX
    const FoldedName folded(n, len);
    Listing::Slot s;
    s.off = static_cast<std::uint32_t>(used);
    s.len = static_cast<std::uint16_t>(len);
    s.hash = folded.hash;
    s.isFile = file;
    folded.copyWords(room(static_cast<qsizetype>(len) + 8));
    used += static_cast<qsizetype>(len);
    if (!file) l.realDirName.insert(folded.view().toByteArray(), QByteArray(n));
    if (entries.empty()) entries.reserve(4096);
    entries.push_back(s);
    if (folded.plain) return;
    // A name Big5 cannot carry is written into lists in its Big5 form;
    // that form finds the file too.
    const QByteArray alias = Big5FormOf(QByteArrayView(n, static_cast<qsizetype>(len)));
    if (!alias.isEmpty()) {
      Listing::Slot a = s;
      a.off = static_cast<std::uint32_t>(used);
      a.len = static_cast<std::uint16_t>(alias.size());
      a.hash = HashOf(alias);
      const QByteArray foldedAlias = Fold(alias);
      std::memcpy(room(foldedAlias.size()), foldedAlias.constData(),
                  static_cast<size_t>(foldedAlias.size()));
      used += foldedAlias.size();
      if (!file) l.realDirName.insert(foldedAlias, QByteArray(n));
      entries.push_back(a);
    }
  });
  l.names.truncate(used);
  size_t size = 16;
  while (size < entries.size() * 2) size *= 2;
  l.table.assign(size, 0);
  const size_t mask = size - 1;
  for (size_t n = 0; n < entries.size(); ++n) {
    const Listing::Slot& e = entries[n];
    for (size_t i = e.hash & mask;; i = (i + 1) & mask) {
      std::uint32_t& t = l.table[i];
      if (t == 0) {
        t = static_cast<std::uint32_t>(n + 1);
        break;
      }
      Listing::Slot& s = entries[t - 1];
      if (s.hash == e.hash && s.len == e.len &&
          std::memcmp(l.names.constData() + s.off, l.names.constData() + e.off, e.len) == 0) {
        // A file wins over a directory whose name differs only in case.
        s.isFile = s.isFile || e.isFile;
        break;
      }
    }
  }
  return l;
}

bool DirectoryIndex::hasCellFile(QByteArrayView name) {
  readListing();
  const int plain = plainFile(name);
  if (plain >= 0) return plain == 1;
  return hasFileParts(SplitCellPath(name)) || hasFile(Big5Decode(name));
}

int DirectoryIndex::plainFile(QByteArrayView name) const {
  if (name.isEmpty()) return 0;
  if (name.size() > 255) return -1;
  const FoldedName folded(name.data(), static_cast<size_t>(name.size()));
  if (!folded.plain) return -1;
  const Listing::Slot* slot = rootListing_->find(folded.view(), folded.hash);
  return slot && slot->isFile ? 1 : 0;
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
  return hasFileParts(n.split('/'));
}

bool DirectoryIndex::hasFileParts(const QList<QByteArray>& given) {
  if (given.isEmpty() || given.back().isEmpty()) return false;
  QList<QByteArray> parts = given;
  bool dotted = false;
  for (const QByteArray& p : parts) dotted = dotted || p.startsWith('.');
  if (dotted) {
    // "." and ".." that stay inside the directory are resolved first.
    QByteArray joined = parts.join('/');
    joined = QFile::encodeName(CleanRelativeName(QFile::decodeName(joined)));
    parts = joined.split('/');
  }
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

QList<QByteArray> SplitCellPath(QByteArrayView cell) {
  QList<QByteArray> parts;
  qsizetype start = 0;
  for (qsizetype i = 0; i < cell.size(); ++i) {
    const auto b = static_cast<unsigned char>(cell[i]);
    if (b >= 0x81 && b <= 0xFE && i + 1 < cell.size()) {
      ++i;  // a Big5 pair: its second byte is no separator
      continue;
    }
    if (b == '\\' || b == '/') {
      parts.append(cell.sliced(start, i - start).toByteArray());
      start = i + 1;
    }
  }
  parts.append(cell.sliced(start).toByteArray());
  return parts;
}

namespace {

// The parts below dir, each taken as it stands when that exists and else as
// the entry that equals it without regard to ASCII case. Empty when a part is
// missing or the last is a directory.
QByteArray ResolveParts(QByteArray dir, const QList<QByteArray>& parts) {
  if (parts.isEmpty() || parts.back().isEmpty()) return {};
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QByteArray& part = parts[i];
    if (part.isEmpty() || part == ".") continue;
    const bool last = i == parts.size() - 1;
    QByteArray next = dir + part;
    struct stat st {};
    if (part != ".." && ::stat(next.constData(), &st) != 0) {
      const QByteArray want = Fold(part);
      QByteArray real;
      ForEachEntry(dir, [&](const char* n, unsigned char) {
        if (real.isEmpty() && Fold(QByteArray(n)) == want) real = QByteArray(n);
      });
      if (real.isEmpty()) return {};
      next = dir + real;
      if (::stat(next.constData(), &st) != 0) return {};
    }
    if (last) return part != ".." && !S_ISDIR(st.st_mode) ? next : QByteArray();
    dir = next + '/';
  }
  return {};
}

}  // namespace

QByteArray FindCellFile(const QString& nativeDir, QByteArrayView cell) {
  if (cell.isEmpty()) return {};
  QByteArray dir = QFile::encodeName(nativeDir);
  if (!dir.endsWith('/')) dir += '/';
  QByteArray found = ResolveParts(dir, SplitCellPath(cell));
  if (found.isEmpty()) {
    QByteArray decoded = QFile::encodeName(Big5Decode(cell));
    decoded.replace('\\', '/');
    found = ResolveParts(dir, decoded.split('/'));
  }
  return found;
}

}  // namespace rix
