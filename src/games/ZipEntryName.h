#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

namespace rix {

// A stored entry name taken apart into native path components. Names are Big5 bytes unless
// general-purpose flag bit 11 says UTF-8; in Big5 a "\" byte may be the second half of a
// character, so separators are found character by character.
class ZipEntryName {
public:
  ZipEntryName(QByteArrayView stored, bool utf8);

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
