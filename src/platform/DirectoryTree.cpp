#include "platform/DirectoryTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <vector>

namespace rix {

namespace {

int OpenDirectoryNoFollow(int at, const char* name) {
  return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// A directory on the way down: its name in its parent, its identity (to recognise the parent
// again when coming back up through ".."), and the subdirectories still to remove.
struct Level {
  QByteArray name;
  dev_t dev = 0;
  ino_t ino = 0;
  std::vector<QByteArray> subdirs;
};

// The entries of the directory open as `fd`, "." and ".." left out, read whole before
// anything is removed, since removing while reading may skip entries.
struct Listing {
  std::vector<QByteArray> dirs;
  std::vector<QByteArray> others;
  bool ok = false;
};

Listing List(int fd) {
  Listing out;
  const int listFd = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* d = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
  if (!d) {
    if (listFd >= 0) ::close(listFd);
    return out;
  }
  while (const dirent* e = ::readdir(d)) {
    const QByteArray name(e->d_name);
    if (name == "." || name == "..") continue;
    bool dir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      dir = ::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    (dir ? out.dirs : out.others).push_back(name);
  }
  ::closedir(d);
  out.ok = true;
  return out;
}

// A read-only directory (as copies of read-only media come) cannot be emptied; the tree is
// ours to remove, so it is made writable first.
void MakeWritable(int fd, const struct stat& st) {
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
}

// Removes every non-directory entry of the directory open as `fd` and collects its
// subdirectories.
bool ClearFiles(int fd, std::vector<QByteArray>* subdirs) {
  Listing l = List(fd);
  bool ok = l.ok;
  for (const QByteArray& f : l.others)
    if (::unlinkat(fd, f.constData(), 0) != 0 && errno != ENOENT) ok = false;
  *subdirs = std::move(l.dirs);
  return ok;
}

}  // namespace

bool RemoveTreeAt(int parentFd, const QByteArray& name) {
  struct stat st;
  if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode))
    return ::unlinkat(parentFd, name.constData(), 0) == 0 || errno == ENOENT;
  int fd = OpenDirectoryNoFollow(parentFd, name.constData());
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  MakeWritable(fd, st);
  std::vector<Level> stack;
  stack.push_back({name, st.st_dev, st.st_ino, {}});
  bool ok = ClearFiles(fd, &stack.back().subdirs);
  while (!stack.empty()) {
    if (!stack.back().subdirs.empty()) {
      const QByteArray child = std::move(stack.back().subdirs.back());
      stack.back().subdirs.pop_back();
      const int childFd = OpenDirectoryNoFollow(fd, child.constData());
      if (childFd < 0) {
        // Replaced by a file or a link since the listing: remove that instead.
        if (errno == ENOTDIR || errno == ELOOP) {
          if (::unlinkat(fd, child.constData(), 0) != 0 && errno != ENOENT) ok = false;
        } else if (errno != ENOENT) {
          ok = false;
        }
        continue;
      }
      struct stat cst;
      if (::fstat(childFd, &cst) != 0) {
        ::close(childFd);
        ok = false;
        continue;
      }
      MakeWritable(childFd, cst);
      // Only the directory being worked on stays open, so no depth runs out of descriptors.
      ::close(fd);
      fd = childFd;
      stack.push_back({child, cst.st_dev, cst.st_ino, {}});
      if (!ClearFiles(fd, &stack.back().subdirs)) ok = false;
      continue;
    }
    const QByteArray done = std::move(stack.back().name);
    stack.pop_back();
    int up = parentFd;
    if (!stack.empty()) {
      up = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      struct stat ust;
      // Whatever moved the tree meanwhile, never go on outside it.
      if (up < 0 || ::fstat(up, &ust) != 0 || ust.st_dev != stack.back().dev ||
          ust.st_ino != stack.back().ino) {
        if (up >= 0) ::close(up);
        ::close(fd);
        return false;
      }
    }
    ::close(fd);
    fd = up;
    if (::unlinkat(up, done.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT) ok = false;
  }
  return ok;
}

bool RemoveTreeBelow(const QString& base, const QString& relative) {
  QList<QByteArray> parts;
  for (const QString& p : relative.split(u'/', Qt::SkipEmptyParts)) {
    if (p == QLatin1String(".") || p == QLatin1String("..")) return false;
    parts.append(QFile::encodeName(p));
  }
  if (parts.isEmpty()) return false;
  // The base itself may be reached through links (a temporary directory often is).
  int fd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    const int next = OpenDirectoryNoFollow(fd, parts[i].constData());
    const int err = errno;
    ::close(fd);
    if (next < 0) return err == ENOENT;
    fd = next;
  }
  const bool ok = RemoveTreeAt(fd, parts.back());
  ::close(fd);
  return ok;
}

bool ClearDirectory(const QString& dir, const QByteArray& keep) {
  QByteArray path = QFile::encodeName(dir);
  // A final "/" would make the open follow a link after all.
  while (path.size() > 1 && path.endsWith('/')) path.chop(1);
  const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const Listing l = List(fd);
  bool ok = l.ok;
  for (const auto* names : {&l.dirs, &l.others})
    for (const QByteArray& name : *names)
      if (name != keep && !RemoveTreeAt(fd, name)) ok = false;
  ::close(fd);
  return ok;
}

}  // namespace rix
