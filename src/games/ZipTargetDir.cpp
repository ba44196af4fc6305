#include "games/ZipTargetDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <isa-l/crc.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#ifdef SYS_openat2
#include <linux/openat2.h>
#endif

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>

namespace rix {

namespace {

constexpr qsizetype kNameMax = NAME_MAX;
constexpr uint32_t kPathMax = PATH_MAX;

QByteArray LowerAsciiName(const QByteArray& name) {
  // Native names are UTF-8, whose multi-byte sequences hold no ASCII bytes.
  QByteArray out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

QByteArray Key(int node, const QByteArray& name) {
  QByteArray key(reinterpret_cast<const char*>(&node), sizeof node);
  return key + LowerAsciiName(name);
}

int OpenDirectoryNoFollow(int at, const QByteArray& name) {
  return ::openat(at, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Opens the directory `path` below `at` in one call, refusing links and any way out of `at`;
// -1 with errno ENOSYS where the system has no such call.
int OpenBeneath(int at, const QByteArray& path) {
#ifdef SYS_openat2
  struct open_how how = {};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  const long fd = ::syscall(SYS_openat2, at, path.constData(), &how, sizeof how);
  // Refused by a sandbox is as good as missing.
  if (fd < 0 && errno == EPERM) errno = ENOSYS;
  return static_cast<int>(fd);
#else
  errno = ENOSYS;
  return -1;
#endif
}

}  // namespace

ZipTargetDir::ZipTargetDir(QString nativeDir) : dir_(std::move(nativeDir)) {
  DirNode root;
  root.length = static_cast<uint32_t>(QFile::encodeName(dir_).size());
  if (!dir_.endsWith(u'/')) ++root.length;
  nodes_.push_back(root);
}

ZipTargetDir::~ZipTargetDir() {
  AbortFile();
  if (lastFd_ >= 0) ::close(lastFd_);
  if (rootFd_ >= 0) ::close(rootFd_);
}

int ZipTargetDir::Node(const QStringList& parts, qsizetype count) {
  // Entries in a row mostly share their leading directories: those are taken from the last
  // call without looking them up again.
  qsizetype same = 0;
  const qsizetype known = std::min<qsizetype>(count, lastParts_.size());
  while (same < known && parts[same] == lastParts_[same]) ++same;
  lastParts_.resize(same);
  lastIds_.resize(static_cast<size_t>(same));
  int id = same > 0 ? lastIds_.back() : 0;
  for (qsizetype i = same; i < count; ++i) {
    const QByteArray name = QFile::encodeName(parts[i]);
    const QByteArray key = Key(id, name);
    const auto it = children_.constFind(key);
    if (it != children_.constEnd()) {
      id = *it;
    } else {
      const uint64_t length = uint64_t(nodes_[static_cast<size_t>(id)].length) + name.size() + 1;
      if (name.size() > kNameMax || length >= kPathMax) return -1;
      DirNode n;
      n.parent = id;
      n.length = static_cast<uint32_t>(length);
      n.name = name;
      nodes_.push_back(std::move(n));
      id = static_cast<int>(nodes_.size() - 1);
      children_.insert(key, id);
    }
    lastParts_.append(parts[i]);
    lastIds_.push_back(id);
  }
  return id;
}

bool ZipTargetDir::Fits(int node, const QByteArray& nativeName) const {
  return nativeName.size() <= kNameMax &&
         nodes_[static_cast<size_t>(node)].length + uint64_t(nativeName.size()) < kPathMax;
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

void ZipTargetDir::Remember(int dir, const QByteArray& name) {
  if (nodes_[static_cast<size_t>(dir)].listed) listing_.insert(Key(dir, name), name);
}

QByteArray ZipTargetDir::Resolve(int dirFd, int dir, const QByteArray& name) {
  struct stat st;
  if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
    return name;
  DirNode& d = nodes_[static_cast<size_t>(dir)];
  if (!d.listed) {
    d.listed = true;
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR* list = fd >= 0 ? ::fdopendir(fd) : nullptr) {
      while (const dirent* e = ::readdir(list)) {
        const QByteArray found(e->d_name);
        if (found != "." && found != "..") listing_.insert(Key(dir, found), found);
      }
      ::closedir(list);
    } else if (fd >= 0) {
      ::close(fd);
    }
  }
  return listing_.value(Key(dir, name), name);
}

int ZipTargetDir::OpenChild(int parentFd, int node, bool create) {
  DirNode& n = nodes_[static_cast<size_t>(node)];
  if (!n.disk.isEmpty()) {
    const int fd = OpenDirectoryNoFollow(parentFd, n.disk);
    if (fd >= 0 || errno != ENOENT || !create) return fd;
  }
  const int parent = n.parent;
  const QByteArray name = Resolve(parentFd, parent, n.name);
  int fd = OpenDirectoryNoFollow(parentFd, name);
  if (fd < 0 && errno == ENOENT && create &&
      (::mkdirat(parentFd, name.constData(), 0777) == 0 || errno == EEXIST)) {
    Remember(parent, name);
    fd = OpenDirectoryNoFollow(parentFd, name);
  }
  if (fd < 0) return -1;
  nodes_[static_cast<size_t>(node)].disk = name;
  if (parent == 0) touched_.insert(name);
  return fd;
}

int ZipTargetDir::OpenFound(size_t count) {
  if (count == 0) return ::dup(rootFd_);
  static bool beneath = true;  // until the system says it has no such call
  if (beneath) {
    QByteArray rel;
    for (size_t i = 0; i < count; ++i)
      rel += nodes_[static_cast<size_t>(path_[i])].disk + (i + 1 < count ? "/" : "");
    const int fd = OpenBeneath(rootFd_, rel);
    if (fd >= 0 || errno != ENOSYS) return fd;
    beneath = false;
  }
  int fd = ::dup(rootFd_);
  for (size_t i = 0; i < count && fd >= 0; ++i) {
    const int next = OpenDirectoryNoFollow(fd, nodes_[static_cast<size_t>(path_[i])].disk);
    ::close(fd);
    fd = next;
  }
  return fd;
}

int ZipTargetDir::Open(int node, bool create) {
  if (!OpenRoot()) return -1;
  if (node == 0) return rootFd_;
  if (node == lastNode_) return lastFd_;
  path_.clear();
  for (int n = node; n != 0; n = nodes_[static_cast<size_t>(n)].parent) path_.push_back(n);
  std::reverse(path_.begin(), path_.end());
  // A directory is found on disk only after its parent, so those found are the upper part.
  size_t found = 0;
  while (found < path_.size() && !nodes_[static_cast<size_t>(path_[found])].disk.isEmpty()) ++found;
  // Entries usually come parent first: then the one open already is the place to start.
  int fd = found > 0 && found < path_.size() && path_[found - 1] == lastNode_ ? ::dup(lastFd_)
                                                                              : OpenFound(found);
  if (fd < 0 && errno == ENOENT && create) {
    // Removed since it was found: look for each level again.
    found = 0;
    fd = ::dup(rootFd_);
  }
  for (size_t i = found; i < path_.size() && fd >= 0; ++i) {
    const int next = OpenChild(fd, path_[i], create);
    ::close(fd);
    fd = next;
  }
  if (fd < 0) return -1;
  if (lastFd_ >= 0) ::close(lastFd_);
  lastNode_ = node;
  lastFd_ = fd;
  return fd;
}

bool ZipTargetDir::MakeDirectory(int node) { return Open(node, true) >= 0; }

bool ZipTargetDir::BeginFile(int node, const QByteArray& nativeName) {
  AbortFile();
  const int dirFd = Open(node, true);
  if (dirFd < 0) return false;
  fileName_ = Resolve(dirFd, node, nativeName);
  for (int attempt = 0; attempt < 16 && fileFd_ < 0; ++attempt) {
    fileTemp_ = ".rixzip-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    fileFd_ = ::openat(dirFd, fileTemp_.constData(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fileFd_ < 0 && errno != EEXIST) return false;
  }
  if (fileFd_ < 0) return false;
  fileDirFd_ = dirFd;
  fileNode_ = node;
  fileCrc_ = 0;
  return true;
}

bool ZipTargetDir::Append(const uint8_t* data, size_t size) {
  // Checksummed and written in pieces small enough to stay in the cache between the checksum
  // and the copy into the page cache: measured, writes of 512 KB and more cost several times
  // as much per byte.
  constexpr size_t kChunk = size_t(256) << 10;
  while (size > 0) {
    const size_t chunk = std::min(size, kChunk);
    fileCrc_ = crc32_gzip_refl(fileCrc_, data, chunk);
    if (!Write(data, chunk)) return false;
    data += chunk;
    size -= chunk;
  }
  return true;
}

void ZipTargetDir::Reserve(uint64_t size) {
  // The file never grows past `size` this way, and one that is not completed is removed.
  if (fileFd_ >= 0 && size > 0) ::fallocate(fileFd_, 0, 0, static_cast<off_t>(size));
}

bool ZipTargetDir::Write(const uint8_t* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(fileFd_, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

ZipTargetDir::WriteResult ZipTargetDir::EndFile(uint32_t crc, time_t mtime, bool setTime) {
  if (fileFd_ < 0) return WriteResult::Failed;
  WriteResult result = fileCrc_ == crc ? WriteResult::Written : WriteResult::BadCrc;
  if (result == WriteResult::Written && setTime) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {mtime, 0}};
    if (::futimens(fileFd_, times) != 0) result = WriteResult::Failed;
  }
  const int fd = fileFd_;
  fileFd_ = -1;
  if (::close(fd) != 0 && result == WriteResult::Written) result = WriteResult::Failed;
  // rename replaces a link at the destination instead of following it.
  if (result == WriteResult::Written &&
      ::renameat(fileDirFd_, fileTemp_.constData(), fileDirFd_, fileName_.constData()) != 0)
    result = WriteResult::Failed;
  if (result != WriteResult::Written) {
    ::unlinkat(fileDirFd_, fileTemp_.constData(), 0);
    return result;
  }
  Remember(fileNode_, fileName_);
  if (fileNode_ == 0) touched_.insert(fileName_);
  return result;
}

void ZipTargetDir::AbortFile() {
  if (fileFd_ < 0) return;
  ::close(fileFd_);
  fileFd_ = -1;
  ::unlinkat(fileDirFd_, fileTemp_.constData(), 0);
}

QStringList ZipTargetDir::touched() const {
  QStringList out;
  for (const QByteArray& name : touched_) out.append(QFile::decodeName(name));
  out.sort();
  return out;
}

}  // namespace rix
