#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "games/ZipArchive.h"

struct inflate_state;

namespace rix {

class ImplodeDecoder;
class ShrinkDecoder;
class ZipFile;
class ZipTargetDir;

// An entry the walk has decided to unpack.
struct ZipPlannedEntry {
  ZipLocalEntry local;
  int node = 0;     // directory node of the target: where the file goes, or the directory
  QByteArray leaf;  // native file name; empty for a directory entry
};

// Room for decoded or packed bytes, kept from one entry to the next. Buffers of 2 MB and more
// are mapped on 2 MB boundaries and asked for huge pages: filling tens of megabytes through
// 4 KB page faults costs more than inflating them.
class ZipBuffer {
public:
  ZipBuffer() = default;
  ~ZipBuffer() { Release(); }
  ZipBuffer(const ZipBuffer&) = delete;
  ZipBuffer& operator=(const ZipBuffer&) = delete;

  // At least `size` bytes, or null when the memory cannot be had.
  uint8_t* Get(size_t size);

private:
  void Release();

  void* mapping_ = nullptr;
  size_t length_ = 0;
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
};

// Decodes planned entries from the archive and writes them below the target. Deflated and
// stored entries are streamed through fixed buffers, so memory stays bounded whatever an
// entry's size; shrunk and imploded ones, which have no streaming decoder, are decoded whole
// within a size bound.
class ZipExtractor {
public:
  // Shrunk and imploded entries are unpacked only up to this size, packed and unpacked.
  static constexpr uint64_t kWholeBound = uint64_t(64) << 20;
  // Deflated entries larger than this are written on a second thread while inflating. Below
  // it the thread did not pay, measured on a busy machine: the inflater waited for a writer
  // that others' work kept from its processor.
  static constexpr uint64_t kWriteBehindFrom = uint64_t(64) << 20;
  // Files from this size have their room set aside before writing: measured, that made 50 MB
  // and 2 GB entries unpack 8-20 % faster, while for small ones the extra call cost more.
  static constexpr uint64_t kReserveFrom = uint64_t(4) << 20;

  ZipExtractor(const ZipFile& file, ZipTargetDir& target);
  ~ZipExtractor();
  ZipExtractor(const ZipExtractor&) = delete;
  ZipExtractor& operator=(const ZipExtractor&) = delete;

  // Whether an entry's method is one this reader unpacks and its sizes can be what they say.
  static bool CanDecode(const ZipLocalEntry& entry);

  // False when the entry cannot be unpacked; nothing of a failed file stays.
  bool Unpack(const ZipPlannedEntry& entry);

private:
  // Writes the entry's decoded bytes to the open output file.
  bool Decode(const ZipLocalEntry& entry);
  bool DecodeWhole(const ZipLocalEntry& entry);
  bool CopyStored(const ZipLocalEntry& entry);
  bool Inflate(const ZipLocalEntry& entry);

  const ZipFile& file_;
  ZipTargetDir& out_;
  std::unique_ptr<inflate_state> inflater_;  // kept between entries: 85 KB of tables and window
  std::unique_ptr<ShrinkDecoder> shrink_;
  std::unique_ptr<ImplodeDecoder> implode_;
  ZipBuffer packed_;
  ZipBuffer unpacked_;
};

}  // namespace rix
