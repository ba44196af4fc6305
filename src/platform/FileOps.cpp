#include "platform/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include "platform/AppPaths.h"
#include "platform/FileError.h"

namespace rix {

namespace {

class Fd {
public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

bool WriteAll(int fd, const char* p, qsizetype n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, static_cast<size_t>(n));
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= w;
  }
  return true;
}

// Where a save to `path` lands: symbolic links followed to the name they lead to (which
// need not exist yet), so that the link itself stays. False with errno set when the links
// loop or cannot be read.
bool FollowLinks(QByteArray* path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(path->constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    QByteArray link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path->constData(), link.data(), static_cast<size_t>(link.size()));
    if (n < 0) return false;
    if (n >= link.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    link.truncate(n);
    if (!link.startsWith('/')) link.prepend(path->left(path->lastIndexOf('/') + 1));
    *path = link;
  }
  errno = ELOOP;
  return false;
}

}  // namespace

QByteArray ReadFileBytes(const QString& nativePath) {
  QByteArray out;
  ReadFileInto(nativePath, out);
  return out;
}

void ReadFileInto(const QString& nativePath, QByteArray& out) {
  out.clear();
  const QByteArray name = QFile::encodeName(nativePath);
  // Without O_NONBLOCK the open of a FIFO waits for a writer that may never come.
  Fd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) throw FileError::FromErrno(errno, nativePath);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw FileError::FromErrno(errno, nativePath);
  if (S_ISDIR(st.st_mode)) throw FileError::FromErrno(EISDIR, nativePath);
  // A device reports no size and never ends (/dev/zero): only plain files are data.
  if (!S_ISREG(st.st_mode)) throw FileError::FromErrno(EINVAL, nativePath);
  // What the file held when opened; bytes added while it is read are not taken.
  const qsizetype size = static_cast<qsizetype>(st.st_size);
  out.resize(size);
  qsizetype got = 0;
  while (got < size) {
    ssize_t r = ::read(fd.get(), out.data() + got, static_cast<size_t>(size - got));
    if (r < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      out.truncate(got);
      throw FileError::FromErrno(err, nativePath);
    }
    if (r == 0) break;
    got += r;
  }
  out.truncate(got);
}

FileStamp StampOf(const QString& nativePath) {
  struct stat st {};
  if (nativePath.isEmpty() || ::stat(QFile::encodeName(nativePath).constData(), &st) != 0)
    return {};
  return {static_cast<qint64>(st.st_size),
          static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

AtomicFileWriter::AtomicFileWriter(const QString& nativePath) : path_(nativePath) {
  target_ = QFile::encodeName(nativePath);
  if (!FollowLinks(&target_)) throw FileError::FromErrno(errno, nativePath);
  // The temporary file goes beside the real target, so that the rename stays in its
  // directory.
  const QFileInfo info(QFile::decodeName(target_));
  temp_ =
      QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + ".XXXXXX");
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    // Report what writing the target itself would have met.
    const int err = errno;
    throw FileError::FromErrno(err == EEXIST ? EACCES : err, nativePath);
  }
  // Keep the permissions of the file being replaced; a new file gets the
  // usual ones.
  struct stat st {};
  if (::stat(target_.constData(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) fail(EISDIR);
    mode_ = st.st_mode & 07777;
    // A rename would leave the other names with the old content.
    inPlace_ = S_ISREG(st.st_mode) && st.st_nlink > 1;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_ = 0666 & ~mask;
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.constData());
  }
}

void AtomicFileWriter::fail(int err) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.constData());
  throw FileError::FromErrno(err, path_);
}

void AtomicFileWriter::write(const char* data, qsizetype size) {
  if (!WriteAll(fd_, data, size)) fail(errno);
}

void AtomicFileWriter::commit() {
  if (inPlace_) {
    copyOverTarget();
    return;
  }
  ::fchmod(fd_, static_cast<mode_t>(mode_));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp_.constData());
    throw FileError::FromErrno(err, path_);
  }
  if (::rename(temp_.constData(), target_.constData()) != 0) {
    const int err = errno;
    ::unlink(temp_.constData());
    throw FileError::FromErrno(err, path_);
  }
}

void AtomicFileWriter::copyOverTarget() {
  // The complete copy is on disk before the target is touched, so a crash part way still
  // leaves the new content whole beside it.
  if (::fsync(fd_) != 0) fail(errno);
  const off_t size = ::lseek(fd_, 0, SEEK_END);
  if (size < 0) fail(errno);
  Fd out(::open(target_.constData(), O_WRONLY | O_CLOEXEC));
  if (out.get() < 0) fail(errno);
#ifdef FALLOC_FL_KEEP_SIZE
  // Room first where the file system can promise it: a full disk then fails before the
  // target changes.
  if (size > 0 && ::fallocate(out.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    fail(errno);
#endif
  std::vector<char> buf(size_t(256) << 10);
  for (off_t at = 0; at < size;) {
    const ssize_t n = ::pread(fd_, buf.data(), std::min<size_t>(buf.size(), size - at), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : EIO);
    if (!WriteAll(out.get(), buf.data(), n)) fail(errno);
    at += n;
  }
  if (::ftruncate(out.get(), size) != 0 || ::fsync(out.get()) != 0) fail(errno);
  ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.constData());
}

void WriteFileAtomic(const QString& nativePath, QByteArrayView bytes) {
  AtomicFileWriter w(nativePath);
  w.write(bytes.data(), bytes.size());
  w.commit();
}

bool FileExists(const QString& nativePath) {
  struct stat st {};
  return !nativePath.isEmpty() && ::stat(QFile::encodeName(nativePath).constData(), &st) == 0 &&
         !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const QString& nativePath) {
  struct stat st {};
  return !nativePath.isEmpty() && ::stat(QFile::encodeName(nativePath).constData(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

bool ForceDirectories(const QString& nativePath) {
  if (DirectoryExists(nativePath)) return true;
  QDir().mkpath(nativePath);
  return DirectoryExists(nativePath);
}

EnsureDirResult EnsureFileDirectory(const QString& path, const QString& appDir) {
  QString dir = DirectoryPart(ApplyAppDirRule(path, appDir));
  if (!dir.endsWith(u'\\') && !dir.endsWith(u'/')) dir += u'/';
  CaseResolver resolver;
  const QString native = resolver.resolve(NativePath(dir));
  if (DirectoryExists(native)) return EnsureDirResult::Existed;
  return ForceDirectories(native) ? EnsureDirResult::Created : EnsureDirResult::Failed;
}

}  // namespace rix
