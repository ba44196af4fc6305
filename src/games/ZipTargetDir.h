#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace rix {

// Writes unpacked entries below one directory. Every component is opened relative to its
// parent without following symbolic links, so nothing lands outside the directory even when
// links already sit inside it. A file appears under its name only complete: it is written to
// a temporary file beside it and renamed into place. A missing component is matched without
// regard to ASCII case against what the directory holds, as names behave on the system the
// archives come from.
class ZipTargetDir {
public:
  explicit ZipTargetDir(QString nativeDir);
  ~ZipTargetDir();
  ZipTargetDir(const ZipTargetDir&) = delete;
  ZipTargetDir& operator=(const ZipTargetDir&) = delete;

  // Creates each missing directory of `parts` in turn.
  bool MakeDirectories(const QStringList& parts);
  enum class WriteResult { Written, BadCrc, Failed };

  // Writes `size` bytes to the file named by `parts` (directories first, made as needed),
  // replacing an existing file, unless their CRC-32 differs from `crc`; gives the file the
  // modification time `mtime` when setTime.
  WriteResult WriteFile(const QStringList& parts, const uint8_t* data, size_t size, uint32_t crc,
                        time_t mtime, bool setTime);

private:
  bool OpenRoot();
  // Opens (creating when asked) the directory parts[0..count), or -1. The caller must not
  // close the result.
  int OpenDirectory(const QStringList& parts, qsizetype count, bool create);
  // The name to use for `name` inside the directory `dirFd` known as `key`.
  QByteArray Resolve(int dirFd, const QByteArray& key, const QByteArray& name);
  void Remember(const QByteArray& key, const QByteArray& name);

  QString dir_;
  int rootFd_ = -1;
  bool rootTried_ = false;
  // The directory opened last, kept because entries tend to share one: the components as
  // asked for, and as found on disk (the key of its listing).
  QByteArray lastKey_;
  QByteArray lastPath_;
  int lastFd_ = -1;
  // Per directory: lower-case name -> name on disk, filled on the first miss.
  QHash<QByteArray, QHash<QByteArray, QByteArray>> listings_;
};

}  // namespace rix
