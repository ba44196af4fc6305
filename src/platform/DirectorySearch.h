#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

namespace rix {

// A wildcard search of one directory as the system's search behaves for a
// user: "*" and "?" (one character), ASCII letters matched without regard to
// case, a final ".*" matching names without a dot too. The entries come
// sorted by their names with ASCII case folded, so the order does not depend
// on the file system's own.
class DirectorySearch {
public:
  // The mask may hold a directory of its own ("sub\*.zip", "/x/*.zip"), taken
  // relative to nativeDir unless absolute and found without regard to ASCII
  // case; a directory part that names nothing finds nothing. Throws FileError
  // when nativeDir itself cannot be read. Hidden (dot) entries are found only
  // by a mask whose name starts with ".".
  DirectorySearch(const QString& nativeDir, const QString& mask);

  qsizetype size() const { return static_cast<qsizetype>(entries_.size()); }
  bool isEmpty() const { return entries_.empty(); }
  // The name as the file system stores it, no directory part.
  QByteArrayView name(qsizetype i) const {
    const Entry& e = entries_[static_cast<size_t>(i)];
    return QByteArrayView(names_.constData() + e.off, e.len);
  }
  bool isDirectory(qsizetype i) const { return entries_[static_cast<size_t>(i)].isDir; }

private:
  struct Entry {
    std::uint32_t off = 0;
    std::uint32_t len = 0;
    bool isDir = false;
  };
  void search(const QByteArray& dir, const QByteArray& mask);

  QByteArray names_;
  std::vector<Entry> entries_;
};

// Whether a file name matches a mask, both as the file system's bytes (UTF-8).
bool WildcardMatchBytes(QByteArrayView mask, QByteArrayView name);

}  // namespace rix
