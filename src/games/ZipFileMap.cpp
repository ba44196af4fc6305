#include "games/ZipFileMap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace rix {

ZipFileMap::ZipFileMap(const QString& nativePath) {
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
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  size_ = static_cast<size_t>(st.st_size);
  if (size_ > 0) {
    void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (m == MAP_FAILED) {
      ::close(fd);
      size_ = 0;
      return;
    }
    mapping_ = m;
    data_ = static_cast<const uint8_t*>(m);
  }
  ::close(fd);
  status_ = Status::Ok;
}

ZipFileMap::~ZipFileMap() {
  if (mapping_) ::munmap(mapping_, size_);
}

}  // namespace rix
