#include "games/ZipTargetDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>

namespace rix {

namespace {

QByteArray LowerAsciiName(const QByteArray& name) {
  // Native names are UTF-8, whose multi-byte sequences hold no ASCII bytes.
  QByteArray out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Writes and checksums in one pass, in pieces small enough to stay in the cache between the
// checksum and the copy into the page cache: measured, writes of 512 KB and more cost several
// times as much per byte.
bool WriteChecked(int fd, const uint8_t* data, size_t size, uint32_t* crc) {
  constexpr size_t kChunk = size_t(256) << 10;
  uint32_t sum = 0;
  while (size > 0) {
    const size_t chunk = size < kChunk ? size : kChunk;
    sum = libdeflate_crc32(sum, data, chunk);
    for (size_t done = 0; done < chunk;) {
      const ssize_t n = ::write(fd, data + done, chunk - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    data += chunk;
    size -= chunk;
  }
  *crc = sum;
  return true;
}

}  // namespace

ZipTargetDir::ZipTargetDir(QString nativeDir) : dir_(std::move(nativeDir)) {}

ZipTargetDir::~ZipTargetDir() {
  if (lastFd_ >= 0 && lastFd_ != rootFd_) ::close(lastFd_);
  if (rootFd_ >= 0) ::close(rootFd_);
}

bool ZipTargetDir::OpenRoot() {
  if (rootTried_) return rootFd_ >= 0;
  rootTried_ = true;
  // The target itself may be reached through links (a temporary directory often is).
  const QByteArray path = QFile::encodeName(dir_);
  rootFd_ = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd_ < 0 && errno == ENOENT && QDir().mkpath(dir_))
    rootFd_ = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return rootFd_ >= 0;
}

void ZipTargetDir::Remember(const QByteArray& key, const QByteArray& name) {
  auto it = listings_.find(key);
  if (it != listings_.end()) it->insert(LowerAsciiName(name), name);
}

QByteArray ZipTargetDir::Resolve(int dirFd, const QByteArray& key, const QByteArray& name) {
  struct stat st;
  if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
    return name;
  auto it = listings_.find(key);
  if (it == listings_.end()) {
    it = listings_.insert(key, {});
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr) {
      while (const dirent* e = ::readdir(d)) {
        const QByteArray found(e->d_name);
        if (found != "." && found != "..") it->insert(LowerAsciiName(found), found);
      }
      ::closedir(d);
    } else if (fd >= 0) {
      ::close(fd);
    }
  }
  return it->value(LowerAsciiName(name), name);
}

int ZipTargetDir::OpenDirectory(const QStringList& parts, qsizetype count, bool create) {
  if (!OpenRoot()) return -1;
  QByteArray key;
  for (qsizetype i = 0; i < count; ++i) key += QFile::encodeName(parts[i]) + '/';
  if (lastFd_ >= 0 && key == lastKey_) return lastFd_;

  int fd = rootFd_;
  QByteArray at;
  for (qsizetype i = 0; i < count; ++i) {
    const QByteArray name = Resolve(fd, at, QFile::encodeName(parts[i]));
    int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0 && errno == ENOENT && create) {
      if (::mkdirat(fd, name.constData(), 0777) == 0 || errno == EEXIST) {
        Remember(at, name);
        next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      }
    }
    if (fd != rootFd_) ::close(fd);
    if (next < 0) return -1;
    fd = next;
    at += name + '/';
  }
  if (lastFd_ >= 0 && lastFd_ != rootFd_) ::close(lastFd_);
  lastFd_ = fd;
  lastKey_ = key;
  lastPath_ = at;
  return fd;
}

bool ZipTargetDir::MakeDirectories(const QStringList& parts) {
  return OpenDirectory(parts, parts.size(), true) >= 0;
}

ZipTargetDir::WriteResult ZipTargetDir::WriteFile(const QStringList& parts, const uint8_t* data,
                                                  size_t size, uint32_t crc, time_t mtime,
                                                  bool setTime) {
  if (parts.isEmpty()) return WriteResult::Failed;
  const int dirFd = OpenDirectory(parts, parts.size() - 1, true);
  if (dirFd < 0) return WriteResult::Failed;
  const QByteArray name = Resolve(dirFd, lastPath_, QFile::encodeName(parts.back()));

  QByteArray temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = ".rixzip-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    fd = ::openat(dirFd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd < 0 && errno != EEXIST) return WriteResult::Failed;
  }
  if (fd < 0) return WriteResult::Failed;
  uint32_t actual = 0;
  WriteResult result =
      WriteChecked(fd, data, size, &actual) ? WriteResult::Written : WriteResult::Failed;
  if (result == WriteResult::Written && actual != crc) result = WriteResult::BadCrc;
  if (result == WriteResult::Written && setTime) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {mtime, 0}};
    if (::futimens(fd, times) != 0) result = WriteResult::Failed;
  }
  if (::close(fd) != 0 && result == WriteResult::Written) result = WriteResult::Failed;
  // rename replaces a link at the destination instead of following it.
  if (result == WriteResult::Written &&
      ::renameat(dirFd, temp.constData(), dirFd, name.constData()) != 0)
    result = WriteResult::Failed;
  if (result != WriteResult::Written) {
    ::unlinkat(dirFd, temp.constData(), 0);
    return result;
  }
  Remember(lastPath_, name);
  return result;
}

}  // namespace rix
