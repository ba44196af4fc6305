#include "games/ZipFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace rix {

ZipFile::ZipFile(const QString& nativePath) {
  const QByteArray path = QFile::encodeName(nativePath);
  struct stat st;
  if (::stat(path.constData(), &st) != 0) {
    status_ = errno == ENOENT ? Status::Missing : Status::Unreadable;
    return;
  }
  if (S_ISDIR(st.st_mode)) {
    status_ = Status::Directory;
    return;
  }
  // Only regular files: opening a FIFO or a device could block or never end.
  if (!S_ISREG(st.st_mode)) return;
  fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return;
  size_ = static_cast<uint64_t>(st.st_size);
  status_ = Status::Ok;
}

ZipFile::~ZipFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ZipFile::Read(uint64_t offset, void* out, size_t size) const {
  if (status_ != Status::Ok || !Holds(offset, size)) return false;
  auto* p = static_cast<char*>(out);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace rix
