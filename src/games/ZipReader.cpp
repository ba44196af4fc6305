#include "games/ZipReader.h"

#include <libdeflate.h>
#include <sys/mman.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "games/ImplodeDecoder.h"
#include "games/ShrinkDecoder.h"
#include "games/ZipArchive.h"
#include "games/ZipEntryName.h"
#include "games/ZipFileMap.h"
#include "games/ZipTargetDir.h"
#include "platform/ByteText.h"

namespace rix {

namespace {

constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr uint16_t kFlagBigWindow = 1 << 1;
constexpr uint16_t kFlagLiteralTree = 1 << 2;
constexpr uint16_t kFlagUtf8 = 1 << 11;
constexpr uint16_t kStored = 0;
constexpr uint16_t kShrunk = 1;
constexpr uint16_t kImploded = 6;
constexpr uint16_t kDeflated = 8;
constexpr qsizetype kMaxFirstName = 259;

// Whether `usize` bytes can come out of `csize` bytes at all. Checked before the output
// buffer is allocated so that a forged size cannot ask for gigabytes.
bool SizesPlausible(uint16_t method, uint64_t csize, uint64_t usize) {
  switch (method) {
    case kStored:
      return usize == csize;
    case kShrunk:  // a 9-bit code stands for at most 7936 bytes
      return usize <= csize * 7100 + 64;
    case kImploded:  // 17 bits at least for a match of at most 321 bytes
      return usize <= csize * 152 + 64;
    case kDeflated:  // about 2 bits for a 258-byte match
      return usize <= csize * 1040 + 64;
    default:
      return false;
  }
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

enum class Outcome { Unpacked, Stop };

// Room for one decoded entry, kept for the next. Buffers of 2 MB and more are mapped on 2 MB
// boundaries and asked for huge pages: filling tens of megabytes through 4 KB page faults
// costs more than inflating them.
class OutputBuffer {
public:
  OutputBuffer() = default;
  ~OutputBuffer() { Release(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // At least `size` bytes, or null when the memory cannot be had.
  uint8_t* Get(size_t size) {
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

private:
  void Release() {
    if (mapping_) ::munmap(mapping_, length_);
    mapping_ = nullptr;
    data_ = nullptr;
    capacity_ = length_ = 0;
  }

  void* mapping_ = nullptr;
  size_t length_ = 0;
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
};

// Decodes and writes the matching entries of one call, keeping decoders and the output
// buffer from one entry to the next.
class Extractor {
public:
  explicit Extractor(QString target) : out_(std::move(target)) {}
  ~Extractor() {
    if (inflater_) libdeflate_free_decompressor(inflater_);
  }
  Extractor(const Extractor&) = delete;
  Extractor& operator=(const Extractor&) = delete;

  Outcome Unpack(const ZipEntryName& name, const ZipLocalEntry& entry);

private:
  // Points *result at the entry's decoded bytes; false when they cannot be produced.
  bool Decode(const ZipLocalEntry& entry, const uint8_t** result);

  ZipTargetDir out_;
  libdeflate_decompressor* inflater_ = nullptr;
  std::unique_ptr<ShrinkDecoder> shrink_;
  std::unique_ptr<ImplodeDecoder> implode_;
  OutputBuffer buffer_;
};

bool Extractor::Decode(const ZipLocalEntry& e, const uint8_t** result) {
  const size_t usize = e.uncompressedSize;
  if (!SizesPlausible(e.method, e.compressedSize, usize)) return false;
  if (e.method == kStored) {
    *result = e.data;
    return true;
  }
  // One spare byte keeps the pointer valid for empty entries.
  uint8_t* out = buffer_.Get(usize + 1);
  if (!out) return false;
  *result = out;
  switch (e.method) {
    case kShrunk:
      if (!shrink_) shrink_ = std::make_unique<ShrinkDecoder>();
      return shrink_->Decode(e.data, e.compressedSize, out, usize);
    case kImploded:
      if (!implode_) implode_ = std::make_unique<ImplodeDecoder>();
      return implode_->Decode(e.data, e.compressedSize, out, usize, e.flags & kFlagBigWindow,
                              e.flags & kFlagLiteralTree);
    case kDeflated: {
      if (!inflater_) inflater_ = libdeflate_alloc_decompressor();
      if (!inflater_) return false;
      size_t produced = 0;
      return libdeflate_deflate_decompress(inflater_, e.data, e.compressedSize, out, usize,
                                           &produced) == LIBDEFLATE_SUCCESS &&
             produced == usize;
    }
    default:
      return false;
  }
}

Outcome Extractor::Unpack(const ZipEntryName& name, const ZipLocalEntry& entry) {
  if (name.isDirectory())
    return out_.MakeDirectories(name.parts()) ? Outcome::Unpacked : Outcome::Stop;
  const uint8_t* bytes = nullptr;
  if (!Decode(entry, &bytes)) return Outcome::Stop;
  time_t mtime = 0;
  const bool haveTime = DosToTime(entry.dosDate, entry.dosTime, &mtime);
  // The CRC is checked while writing; a file whose CRC differs never gets its name.
  return out_.WriteFile(name.parts(), bytes, entry.uncompressedSize, entry.crc, mtime, haveTime) ==
                 ZipTargetDir::WriteResult::Written
             ? Outcome::Unpacked
             : Outcome::Stop;
}

}  // namespace

QByteArray ZipFirstEntryName(const QString& archive) {
  if (archive.isEmpty()) return {};
  ZipFileMap file(archive);
  if (file.status() != ZipFileMap::Status::Ok) return {};
  ZipArchive zip(file.data(), file.size());
  ZipCentralEntry first;
  if (!zip.Open() || zip.entryCount() == 0 || !zip.Next(&first)) return {};
  return ZipEntryName::WithBackslashes(first.name.first(qMin(first.name.size(), kMaxFirstName)));
}

int ZipExtractMatching(const QString& archive, const QString& targetDir, const QByteArray& mask) {
  if (archive.isEmpty() || targetDir.isEmpty()) return kZipNoPath;
  if (!archive.contains(QLatin1Char('.')) || archive.contains(QLatin1String(".exe")))
    return kZipNotArchiveName;
  ZipFileMap file(archive);
  switch (file.status()) {
    case ZipFileMap::Status::Ok:
      break;
    case ZipFileMap::Status::Directory:
      return kZipIsDirectory;
    default:
      return kZipCannotRead;
  }
  static const uint8_t kLocalSignature[4] = {0x50, 0x4B, 0x03, 0x04};
  if (file.size() < 4 || std::memcmp(file.data(), kLocalSignature, 4) != 0) return kZipNotZip;
  ZipArchive zip(file.data(), file.size());
  if (!zip.Open()) return kZipBadDirectory;

  QString target = targetDir;
  if (!target.endsWith(QLatin1Char('/'))) target += QLatin1Char('/');
  Extractor extractor(target);
  int unpacked = 0;
  for (uint32_t i = 0; i < zip.entryCount(); ++i) {
    ZipCentralEntry central;
    if (!zip.Next(&central)) return kZipBadDirectory;
    if (!ZipMaskMatches(mask, ZipEntryName::WithBackslashes(central.name))) continue;

    const ZipEntryName name(central.name, central.flags & kFlagUtf8);
    if (!name.isSafe()) return unpacked;
    ZipLocalEntry local;
    switch (zip.Local(central, &local)) {
      case ZipArchive::LocalStatus::Ok:
        break;
      case ZipArchive::LocalStatus::BadHeader:
        return kZipBadLocalHeader;
      case ZipArchive::LocalStatus::OutOfRange:
        return kZipDataOutOfRange;
    }
    if ((central.flags | local.flags) & kFlagEncrypted) return unpacked;
    if (extractor.Unpack(name, local) != Outcome::Unpacked) return unpacked;
    ++unpacked;
  }
  return unpacked;
}

bool ZipMaskMatches(const QByteArray& mask, const QByteArray& storedNameWithBackslashes) {
  if (mask.isEmpty() || mask == "*.*") return true;
  const QByteArray m = LowerAscii(mask);
  const QByteArray name = LowerAscii(storedNameWithBackslashes);
  // "." is never the second byte of a Big5 character, so byte searches find the real one.
  const qsizetype dot = name.indexOf('.');
  if (m.startsWith("*.")) {
    const QByteArrayView ext = dot < 0 ? QByteArrayView() : QByteArrayView(name).sliced(dot + 1);
    return ext == QByteArrayView(m).sliced(2);
  }
  if (m.endsWith('*')) {
    QByteArrayView stem(m);
    if (stem.endsWith(".*")) stem.chop(2);
    if (stem.endsWith('*') || stem.endsWith('?')) stem.chop(1);
    const QByteArrayView base = dot < 0 ? QByteArrayView(name) : QByteArrayView(name).first(dot);
    return base.startsWith(stem);
  }
  return name == m;
}

}  // namespace rix
