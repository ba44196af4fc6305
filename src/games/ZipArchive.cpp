#include "games/ZipArchive.h"

#include <QtEndian>
#include <algorithm>

#include "games/ZipFile.h"

namespace rix {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEnd64Signature = 0x06064b50;
constexpr uint32_t kLocator64Signature = 0x07064b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocator64Size = 20;
constexpr size_t kEnd64Size = 56;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kMaxComment = 0xFFFF;
constexpr uint16_t kFlagDescriptor = 1 << 3;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint32_t kSaturated32 = 0xFFFFFFFF;
constexpr size_t kWindow = size_t(256) << 10;

inline uint16_t U16(const uint8_t* p) { return qFromLittleEndian<uint16_t>(p); }
inline uint32_t U32(const uint8_t* p) { return qFromLittleEndian<uint32_t>(p); }
inline uint64_t U64(const uint8_t* p) { return qFromLittleEndian<uint64_t>(p); }
inline uint64_t Size(const uint8_t* p, unsigned width) { return width == 8 ? U64(p) : U32(p); }

// The Zip64 extended information of an extra field: the 8-byte values stand in, in this
// order, for those of the 32-bit fields that hold 0xFFFFFFFF. Null when there is none.
const uint8_t* Zip64Field(const uint8_t* extra, size_t size, size_t* length) {
  for (size_t at = 0; at + 4 <= size;) {
    const size_t len = U16(extra + at + 2);
    if (at + 4 + len > size) break;
    if (U16(extra + at) == kZip64Extra) {
      *length = len;
      return extra + at + 4;
    }
    at += 4 + len;
  }
  return nullptr;
}

// Replaces each saturated value of `fields` by the next 8 bytes of the Zip64 field, as far as
// it reaches.
void ApplyZip64(const uint8_t* field, size_t length, std::initializer_list<uint64_t*> fields) {
  size_t at = 0;
  for (uint64_t* f : fields) {
    if (*f != kSaturated32) continue;
    if (at + 8 > length) return;
    *f = U64(field + at);
    at += 8;
  }
}

}  // namespace

bool ZipArchive::Open() {
  const uint64_t size = file_.size();
  if (size < kEndSize) return false;
  const size_t tailSize = static_cast<size_t>(std::min<uint64_t>(size, kEndSize + kMaxComment));
  std::vector<uint8_t> tail(tailSize);
  const uint64_t tailStart = size - tailSize;
  if (!file_.Read(tailStart, tail.data(), tailSize)) return false;
  for (size_t at = tailSize - kEndSize + 1; at-- > 0;) {
    const uint8_t* e = tail.data() + at;
    if (e[0] != 0x50 || U32(e) != kEndSignature) continue;
    count_ = U16(e + 10);
    cursor_ = U32(e + 16);
    // A Zip64 locator directly before the record points to the Zip64 record, whose values
    // replace those that did not fit.
    const uint64_t end = tailStart + at;
    uint8_t loc[kLocator64Size];
    uint8_t rec[kEnd64Size];
    if (end >= kLocator64Size && file_.Read(end - kLocator64Size, loc, kLocator64Size) &&
        U32(loc) == kLocator64Signature && file_.Read(U64(loc + 8), rec, kEnd64Size) &&
        U32(rec) == kEnd64Signature) {
      count_ = U64(rec + 32);
      cursor_ = U64(rec + 48);
    }
    return true;
  }
  return false;
}

const uint8_t* ZipArchive::Window(uint64_t offset, size_t size) {
  if (offset >= windowStart_ && size <= windowSize_ && offset - windowStart_ <= windowSize_ - size)
    return window_.data() + (offset - windowStart_);
  if (!file_.Holds(offset, size)) return nullptr;
  const size_t want =
      static_cast<size_t>(std::min<uint64_t>(std::max(size, kWindow), file_.size() - offset));
  window_.resize(want);
  windowSize_ = 0;
  if (!file_.Read(offset, window_.data(), want)) return nullptr;
  windowStart_ = offset;
  windowSize_ = want;
  return window_.data();
}

bool ZipArchive::Next(ZipCentralEntry* entry) {
  const uint8_t* h = Window(cursor_, kCentralSize);
  if (!h || U32(h) != kCentralSignature) return false;
  const size_t nameLen = U16(h + 28);
  const size_t extraLen = U16(h + 30);
  const size_t tail = nameLen + extraLen + U16(h + 32);
  h = Window(cursor_, kCentralSize + tail);
  if (!h) return false;
  entry->madeBy = U16(h + 4);
  entry->flags = U16(h + 8);
  entry->method = U16(h + 10);
  entry->compressedSize = U32(h + 20);
  entry->uncompressedSize = U32(h + 24);
  entry->localOffset = U32(h + 42);
  size_t len = 0;
  if (const uint8_t* z = Zip64Field(h + kCentralSize + nameLen, extraLen, &len))
    ApplyZip64(z, len, {&entry->uncompressedSize, &entry->compressedSize, &entry->localOffset});
  entry->name = QByteArrayView(reinterpret_cast<const char*>(h + kCentralSize),
                               static_cast<qsizetype>(nameLen));
  entry->extra = QByteArrayView(reinterpret_cast<const char*>(h + kCentralSize + nameLen),
                                static_cast<qsizetype>(extraLen));
  cursor_ += kCentralSize + tail;
  return true;
}

ZipArchive::LocalStatus ZipArchive::Local(const ZipCentralEntry& central,
                                          ZipLocalEntry* local) const {
  const uint64_t at = central.localOffset;
  uint8_t h[kLocalSize];
  if (!file_.Read(at, h, kLocalSize) || U32(h) != kLocalSignature) return LocalStatus::BadHeader;
  const size_t nameLen = U16(h + 26);
  const size_t extraLen = U16(h + 28);
  const uint64_t skip = kLocalSize + nameLen + extraLen;
  if (!file_.Holds(at, skip)) return LocalStatus::BadHeader;
  local->flags = U16(h + 6);
  local->method = U16(h + 8);
  local->dosTime = U16(h + 10);
  local->dosDate = U16(h + 12);
  local->crc = U32(h + 14);
  local->compressedSize = U32(h + 18);
  local->uncompressedSize = U32(h + 22);
  local->headerOffset = at;
  local->dataOffset = at + skip;

  // Sizes that did not fit come from the Zip64 field, which in a local header holds both.
  bool zip64 = central.compressedSize > kSaturated32 || central.uncompressedSize > kSaturated32;
  if (extraLen > 0) {
    std::vector<uint8_t> extra(extraLen);
    size_t len = 0;
    const uint8_t* z = nullptr;
    if (file_.Read(at + kLocalSize + nameLen, extra.data(), extraLen) &&
        (z = Zip64Field(extra.data(), extraLen, &len))) {
      zip64 = true;
      if (len >= 16) {
        if (local->uncompressedSize == kSaturated32) local->uncompressedSize = U64(z);
        if (local->compressedSize == kSaturated32) local->compressedSize = U64(z + 8);
      }
    }
  }

  if (local->flags & kFlagDescriptor) {
    // The local header holds no sizes then; the central directory says where the data ends,
    // and the descriptor there (with or without its signature; 4-byte sizes, or 8-byte ones
    // in Zip64 entries) gives CRC and sizes.
    const uint64_t csize = central.compressedSize;
    if (!file_.Holds(local->dataOffset, csize)) return LocalStatus::OutOfRange;
    const uint64_t d = local->dataOffset + csize;
    uint8_t desc[24];
    const size_t room = static_cast<size_t>(std::min<uint64_t>(sizeof desc, file_.size() - d));
    if (!file_.Read(d, desc, room)) return LocalStatus::OutOfRange;
    const unsigned widths[2] = {zip64 ? 8u : 4u, zip64 ? 4u : 8u};
    bool found = false;
    bool tooShort = true;
    for (unsigned w : widths) {
      const size_t need = 4 + 2 * w;
      const uint8_t* p = desc;
      if (room >= need + 4 && U32(p) == kDescriptorSignature && Size(p + 8, w) == csize) {
        p += 4;
      } else if (room < need) {
        continue;
      }
      tooShort = false;
      if (Size(p + 4, w) != csize) continue;
      local->crc = U32(p);
      local->compressedSize = csize;
      local->uncompressedSize = Size(p + 4 + w, w);
      found = true;
      break;
    }
    if (!found) return tooShort ? LocalStatus::OutOfRange : LocalStatus::BadHeader;
  }
  if (!file_.Holds(local->dataOffset, local->compressedSize)) return LocalStatus::OutOfRange;
  return LocalStatus::Ok;
}

}  // namespace rix
