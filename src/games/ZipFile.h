#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace rix {

// An archive open for reading by offset. Reads go through pread, never a mapping: a file that
// shrinks while it is read gives a failed read, not a fault.
class ZipFile {
public:
  enum class Status { Ok, Missing, Directory, Unreadable };

  explicit ZipFile(const QString& nativePath);
  ~ZipFile();
  ZipFile(const ZipFile&) = delete;
  ZipFile& operator=(const ZipFile&) = delete;

  Status status() const { return status_; }
  // The size when it was opened.
  uint64_t size() const { return size_; }
  // Reads exactly `size` bytes at `offset`; false when the file ends before or cannot be read.
  bool Read(uint64_t offset, void* out, size_t size) const;
  // Whether [offset, offset + length) lies within the size seen at open.
  bool Holds(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

private:
  Status status_ = Status::Unreadable;
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace rix
