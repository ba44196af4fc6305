#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include "games/ZipArchive.h"

namespace rix {

// A stored entry name taken apart into native path components. In Big5 a "\" byte may be the
// second half of a character, so separators are found character by character.
class ZipEntryName {
public:
  ZipEntryName(QByteArrayView stored, bool utf8);
  // The name of a central-directory entry, read as Choose() says.
  explicit ZipEntryName(const ZipCentralEntry& entry);

  // Which bytes name an entry and whether they are UTF-8: so when general-purpose flag bit 11
  // says so; the Info-ZIP Unicode Path extra field (0x7075) when its checksum matches the
  // stored name; a name made on a Unix host that is valid UTF-8 (zip there writes no flag).
  // Otherwise the stored bytes are Big5, as Windows archivers write them.
  struct Bytes {
    QByteArrayView name;
    bool utf8 = false;
  };
  static Bytes Choose(const ZipCentralEntry& entry);

  // The components joined with "/", a directory's with a final "/"; empty when unsafe.
  QString text() const;

  // The stored name with every "/" replaced by "\", as masks and the launch see it.
  static QByteArray WithBackslashes(QByteArrayView stored);

  // Ends in a separator: the entry only makes directories.
  bool isDirectory() const { return directory_; }
  // Relative, without drive, without ".." and NUL, so it stays below the target directory.
  bool isSafe() const { return safe_; }
  // The path components, "." and empty ones dropped.
  const QStringList& parts() const { return parts_; }

private:
  QStringList parts_;
  bool directory_ = false;
  bool safe_ = true;
};

}  // namespace rix
