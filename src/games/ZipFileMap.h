#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace rix {

// A whole archive mapped read-only; pages are read only as they are touched, so looking at
// the directory of a large archive costs little.
class ZipFileMap {
public:
  enum class Status { Ok, Missing, Directory, Unreadable };

  explicit ZipFileMap(const QString& nativePath);
  ~ZipFileMap();
  ZipFileMap(const ZipFileMap&) = delete;
  ZipFileMap& operator=(const ZipFileMap&) = delete;

  Status status() const { return status_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

private:
  Status status_ = Status::Unreadable;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  void* mapping_ = nullptr;
};

}  // namespace rix
