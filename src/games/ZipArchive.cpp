#include "games/ZipArchive.h"

#include <QtEndian>

namespace rix {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kMaxComment = 0xFFFF;
constexpr uint16_t kFlagDescriptor = 1 << 3;

inline uint16_t U16(const uint8_t* p) { return qFromLittleEndian<uint16_t>(p); }
inline uint32_t U32(const uint8_t* p) { return qFromLittleEndian<uint32_t>(p); }

}  // namespace

bool ZipArchive::Open() {
  if (size_ < kEndSize) return false;
  const size_t last = size_ - kEndSize;
  const size_t first = last > kMaxComment ? last - kMaxComment : 0;
  for (size_t at = last + 1; at-- > first;) {
    if (data_[at] == 0x50 && U32(data_ + at) == kEndSignature) {
      count_ = U16(data_ + at + 10);
      cursor_ = U32(data_ + at + 16);
      return true;
    }
  }
  return false;
}

bool ZipArchive::Next(ZipCentralEntry* entry) {
  if (cursor_ > size_ || size_ - cursor_ < kCentralSize) return false;
  const uint8_t* h = data_ + cursor_;
  if (U32(h) != kCentralSignature) return false;
  const size_t nameLen = U16(h + 28);
  const size_t tail = nameLen + U16(h + 30) + U16(h + 32);
  if (size_ - cursor_ - kCentralSize < tail) return false;
  entry->flags = U16(h + 8);
  entry->method = U16(h + 10);
  entry->compressedSize = U32(h + 20);
  entry->localOffset = U32(h + 42);
  entry->name = QByteArrayView(reinterpret_cast<const char*>(h + kCentralSize),
                               static_cast<qsizetype>(nameLen));
  cursor_ += kCentralSize + tail;
  return true;
}

ZipArchive::LocalStatus ZipArchive::Local(const ZipCentralEntry& central,
                                          ZipLocalEntry* local) const {
  const size_t at = central.localOffset;
  if (at > size_ || size_ - at < kLocalSize) return LocalStatus::BadHeader;
  const uint8_t* h = data_ + at;
  if (U32(h) != kLocalSignature) return LocalStatus::BadHeader;
  const size_t skip = kLocalSize + U16(h + 26) + U16(h + 28);
  if (size_ - at < skip) return LocalStatus::BadHeader;
  const size_t start = at + skip;
  local->flags = U16(h + 6);
  local->method = U16(h + 8);
  local->dosTime = U16(h + 10);
  local->dosDate = U16(h + 12);
  local->crc = U32(h + 14);
  local->compressedSize = U32(h + 18);
  local->uncompressedSize = U32(h + 22);
  local->data = data_ + start;

  if (local->flags & kFlagDescriptor) {
    // The local header holds no sizes then; the central directory says where the data ends,
    // and the descriptor there (with or without its signature) gives CRC and sizes.
    const size_t csize = central.compressedSize;
    if (size_ - start < csize) return LocalStatus::OutOfRange;
    const size_t d = start + csize;
    const uint8_t* p = data_ + d;
    const size_t room = size_ - d;
    if (room >= 16 && U32(p) == kDescriptorSignature && U32(p + 8) == csize) {
      p += 4;
    } else if (room < 12) {
      return LocalStatus::OutOfRange;
    }
    if (U32(p + 4) != csize) return LocalStatus::BadHeader;
    local->crc = U32(p);
    local->compressedSize = U32(p + 4);
    local->uncompressedSize = U32(p + 8);
  }
  if (size_ - start < local->compressedSize) return LocalStatus::OutOfRange;
  return LocalStatus::Ok;
}

}  // namespace rix
