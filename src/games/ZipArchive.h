#pragma once

#include <QByteArrayView>
#include <cstddef>
#include <cstdint>

namespace rix {

// One central-directory header.
struct ZipCentralEntry {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t compressedSize = 0;
  uint32_t localOffset = 0;
  QByteArrayView name;  // stored bytes, pointing into the archive
};

// What the local header (and, with flag bit 3, the data descriptor) says about an entry.
struct ZipLocalEntry {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t uncompressedSize = 0;
  const uint8_t* data = nullptr;  // the compressed bytes, wholly inside the archive
  uint32_t compressedSize = 0;
};

// Reads the structures of an archive held in memory. Every offset is checked against the
// size before it is used.
class ZipArchive {
public:
  enum class LocalStatus { Ok, BadHeader, OutOfRange };

  ZipArchive(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Finds the end-of-central-directory record, searching backwards from the end over at most
  // the largest comment; false when there is none.
  bool Open();
  uint32_t entryCount() const { return count_; }
  // Reads the next central header in order; false when it is missing or cut short.
  bool Next(ZipCentralEntry* entry);
  // Follows an entry to its local header and data.
  LocalStatus Local(const ZipCentralEntry& central, ZipLocalEntry* local) const;

private:
  const uint8_t* data_;
  size_t size_;
  uint32_t count_ = 0;
  size_t cursor_ = 0;
};

}  // namespace rix
