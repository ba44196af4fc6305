#pragma once

#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rix {

class ZipFile;

// One central-directory header, Zip64 sizes and offset applied.
struct ZipCentralEntry {
  uint16_t madeBy = 0;  // version made by: the high byte names the host system
  uint16_t flags = 0;
  uint16_t method = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint64_t localOffset = 0;
  QByteArrayView name;   // stored bytes, valid until the next call of Next()
  QByteArrayView extra;  // the extra field, valid as long
};

// What the local header (and, with flag bit 3, the data descriptor) says about an entry.
struct ZipLocalEntry {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint64_t uncompressedSize = 0;
  uint64_t compressedSize = 0;
  uint64_t headerOffset = 0;  // where the local header starts
  uint64_t dataOffset = 0;    // the compressed bytes, wholly inside the archive
};

// Reads the structures of an archive, Zip64 records included. Every offset is checked against
// the size before it is used; the central directory is read through a window of its own, so
// its size costs no memory.
class ZipArchive {
public:
  enum class LocalStatus { Ok, BadHeader, OutOfRange };

  explicit ZipArchive(const ZipFile& file) : file_(file) {}

  // Finds the end-of-central-directory record, searching backwards from the end over at most
  // the largest comment, and the Zip64 record it may point to; false when there is none.
  bool Open();
  uint64_t entryCount() const { return count_; }
  // Reads the next central header in order; false when it is missing or cut short.
  bool Next(ZipCentralEntry* entry);
  // Follows an entry to its local header and data.
  LocalStatus Local(const ZipCentralEntry& central, ZipLocalEntry* local) const;

private:
  // `size` bytes at `offset` from the window, refilled as needed; null when they cannot be
  // read.
  const uint8_t* Window(uint64_t offset, size_t size);

  const ZipFile& file_;
  uint64_t count_ = 0;
  uint64_t cursor_ = 0;
  std::vector<uint8_t> window_;
  uint64_t windowStart_ = 0;
  size_t windowSize_ = 0;
};

}  // namespace rix
