#include "games/ZipExtractor.h"

#include <isa-l/igzip_lib.h>
#include <sys/mman.h>

#include <algorithm>
#include <ctime>
#include <optional>

#include "games/ImplodeDecoder.h"
#include "games/ShrinkDecoder.h"
#include "games/ZipFile.h"
#include "games/ZipTargetDir.h"
#include "games/ZipWriteBehind.h"

namespace rix {

namespace {

constexpr uint16_t kFlagBigWindow = 1 << 1;
constexpr uint16_t kFlagLiteralTree = 1 << 2;
constexpr uint16_t kStored = 0;
constexpr uint16_t kShrunk = 1;
constexpr uint16_t kImploded = 6;
constexpr uint16_t kDeflated = 8;
// Pieces of streamed entries: small enough to stay in the cache between decoding, checksum
// and write.
constexpr size_t kStreamIn = size_t(256) << 10;
constexpr size_t kStreamOut = ZipWriteBehind::kPiece;

// Whether `usize` <= `csize` * factor + 64, without overflow.
bool AtMost(uint64_t usize, uint64_t csize, uint64_t factor) {
  return usize <= 64 || (usize - 64) / factor <= csize;
}

// The entry's DOS date and time as local time; false when the fields hold no valid date.
bool DosToTime(uint16_t date, uint16_t time, time_t* out) {
  struct tm t = {};
  t.tm_year = 80 + (date >> 9);
  t.tm_mon = ((date >> 5) & 0x0F) - 1;
  t.tm_mday = date & 0x1F;
  t.tm_hour = time >> 11;
  t.tm_min = (time >> 5) & 0x3F;
  t.tm_sec = (time & 0x1F) * 2;
  t.tm_isdst = -1;
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday == 0 || t.tm_hour > 23 || t.tm_min > 59 ||
      t.tm_sec > 59)
    return false;
  *out = std::mktime(&t);
  return *out != static_cast<time_t>(-1);
}

}  // namespace

uint8_t* ZipBuffer::Get(size_t size) {
  if (size <= capacity_) return data_;
  Release();
  constexpr size_t kHuge = size_t(2) << 20;
  const bool huge = size >= kHuge;
  const size_t unit = huge ? kHuge : size_t(64) << 10;
  const size_t capacity = (size + unit - 1) / unit * unit;
  const size_t length = huge ? capacity + kHuge : capacity;
  void* m = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  mapping_ = m;
  length_ = length;
  data_ = static_cast<uint8_t*>(m);
  if (huge) {
    const auto at = reinterpret_cast<uintptr_t>(m);
    data_ = reinterpret_cast<uint8_t*>((at + kHuge - 1) / kHuge * kHuge);
    ::madvise(data_, capacity, MADV_HUGEPAGE);
  }
  capacity_ = capacity;
  return data_;
}

void ZipBuffer::Release() {
  if (mapping_) ::munmap(mapping_, length_);
  mapping_ = nullptr;
  data_ = nullptr;
  capacity_ = length_ = 0;
}

ZipExtractor::ZipExtractor(const ZipFile& file, ZipTargetDir& target) : file_(file), out_(target) {}

ZipExtractor::~ZipExtractor() = default;

bool ZipExtractor::CanDecode(const ZipLocalEntry& e) {
  const uint64_t csize = e.compressedSize;
  const uint64_t usize = e.uncompressedSize;
  // Checked before anything is allocated or written, so that a forged size cannot ask for
  // gigabytes.
  switch (e.method) {
    case kStored:
      return usize == csize;
    case kShrunk:  // a 9-bit code stands for at most 7936 bytes
      return AtMost(usize, csize, 7100) && usize <= kWholeBound && csize <= kWholeBound;
    case kImploded:  // 17 bits at least for a match of at most 321 bytes
      return AtMost(usize, csize, 152) && usize <= kWholeBound && csize <= kWholeBound;
    case kDeflated:  // about 2 bits for a 258-byte match
      return AtMost(usize, csize, 1040);
    default:
      return false;
  }
}

bool ZipExtractor::DecodeWhole(const ZipLocalEntry& e) {
  const size_t csize = static_cast<size_t>(e.compressedSize);
  const size_t usize = static_cast<size_t>(e.uncompressedSize);
  // One spare byte keeps the pointers valid for empty entries.
  uint8_t* in = packed_.Get(csize + 1);
  uint8_t* out = unpacked_.Get(usize + 1);
  if (!in || !out || !file_.Read(e.dataOffset, in, csize)) return false;
  bool ok = false;
  switch (e.method) {
    case kShrunk:
      if (!shrink_) shrink_ = std::make_unique<ShrinkDecoder>();
      ok = shrink_->Decode(in, csize, out, usize);
      break;
    case kImploded:
      if (!implode_) implode_ = std::make_unique<ImplodeDecoder>();
      ok = implode_->Decode(in, csize, out, usize, e.flags & kFlagBigWindow,
                            e.flags & kFlagLiteralTree);
      break;
    default:
      break;
  }
  return ok && out_.Append(out, usize);
}

bool ZipExtractor::CopyStored(const ZipLocalEntry& e) {
  uint8_t* buf = packed_.Get(kStreamIn);
  if (!buf) return false;
  for (uint64_t at = 0; at < e.compressedSize;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kStreamIn, e.compressedSize - at));
    if (!file_.Read(e.dataOffset + at, buf, n) || !out_.Append(buf, n)) return false;
    at += n;
  }
  return true;
}

bool ZipExtractor::Inflate(const ZipLocalEntry& e) {
  uint8_t* in = packed_.Get(kStreamIn);
  if (!in) return false;
  if (!inflater_) inflater_ = std::make_unique<inflate_state>();
  inflate_state& s = *inflater_;
  isal_inflate_init(&s);
  // Raw deflate, the CRC-32 of the output computed in the same pass.
  s.crc_flag = ISAL_GZIP_NO_HDR;
  // A large entry is written on a second thread while the next pieces are inflated; the
  // inflater keeps its own window, so a piece may be handed on as soon as it is filled.
  std::optional<ZipWriteBehind> writer;
  uint8_t* own = nullptr;
  if (e.uncompressedSize > kWriteBehindFrom)
    writer.emplace(out_);
  else if (!(own = unpacked_.Get(kStreamOut)))
    return false;
  uint64_t inAt = e.dataOffset;
  uint64_t inLeft = e.compressedSize;
  uint64_t produced = 0;
  bool ok = true;
  while (ok && s.block_state != ISAL_BLOCK_FINISH) {
    // Once all input is read the inflater may still hold output for the next piece; the
    // packed data ending before the stream does shows as a call that gets nowhere.
    if (s.avail_in == 0 && inLeft > 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kStreamIn, inLeft));
      if (!file_.Read(inAt, in, n)) {
        ok = false;
        break;
      }
      inAt += n;
      inLeft -= n;
      s.next_in = in;
      s.avail_in = static_cast<uint32_t>(n);
    }
    uint8_t* piece = writer ? writer->Take() : own;
    if (!piece) {
      ok = false;
      break;
    }
    const uint32_t inBefore = s.avail_in;
    s.next_out = piece;
    s.avail_out = static_cast<uint32_t>(kStreamOut);
    const int ret = isal_inflate(&s);
    const size_t got = kStreamOut - s.avail_out;
    // A call that neither reads nor writes nor ends the stream would never get further.
    const bool stuck = got == 0 && s.avail_in == inBefore && s.block_state != ISAL_BLOCK_FINISH;
    ok = ret >= 0 && !stuck && got <= e.uncompressedSize - produced;
    if (writer)
      writer->Put(piece, ok ? got : 0);
    else if (ok && got > 0)
      ok = out_.Write(piece, got);
    produced += ok ? got : 0;
  }
  // A failed writer says so here; it may have stopped taking pieces first.
  const bool written = !writer || writer->Finish();
  if (!(written && ok && produced == e.uncompressedSize)) return false;
  out_.SetCrc(s.crc);
  return true;
}

bool ZipExtractor::Decode(const ZipLocalEntry& e) {
  if (e.method == kStored) return CopyStored(e);
  if (e.method == kDeflated) return Inflate(e);
  return DecodeWhole(e);
}

bool ZipExtractor::Unpack(const ZipPlannedEntry& entry) {
  if (entry.leaf.isEmpty()) return out_.MakeDirectory(entry.node);
  const ZipLocalEntry& e = entry.local;
  if (!out_.BeginFile(entry.node, entry.leaf)) return false;
  if (e.uncompressedSize >= kReserveFrom) out_.Reserve(e.uncompressedSize);
  if (!Decode(e)) {
    out_.AbortFile();
    return false;
  }
  time_t mtime = 0;
  const bool haveTime = DosToTime(e.dosDate, e.dosTime, &mtime);
  // The CRC is checked while writing; a file whose CRC differs never gets its name.
  return out_.EndFile(e.crc, mtime, haveTime) == ZipTargetDir::WriteResult::Written;
}

}  // namespace rix
