#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace rix {

class ZipTargetDir;

// Writes the pieces of one output file on a second thread while the next pieces are decoded,
// so that the write overlaps with inflating a large entry (the inflater computes the CRC-32
// itself). Pieces come from a small fixed set, so memory stays bounded; they are written in
// the order they are handed over.
//
// The writer is faster than the decoder, so waking it for every piece would wake it thousands
// of times; on a busy machine each wake-up took the decoder's processor from it (measured:
// seconds lost over a 2 GB entry). It is woken once half the set waits, writes all that
// waits, and runs as a batch thread, which does not preempt the decoder when woken.
class ZipWriteBehind {
public:
  static constexpr size_t kPiece = size_t(256) << 10;

  explicit ZipWriteBehind(ZipTargetDir& out);
  ~ZipWriteBehind();
  ZipWriteBehind(const ZipWriteBehind&) = delete;
  ZipWriteBehind& operator=(const ZipWriteBehind&) = delete;

  // A free piece of kPiece bytes, waiting while all are being written; null once a write
  // has failed.
  uint8_t* Take();
  // Hands over a piece from Take() whose first `size` bytes are to be written.
  void Put(uint8_t* piece, size_t size);
  // Waits until everything handed over is written; false when a write failed.
  bool Finish();

private:
  static constexpr size_t kPieces = 8;
  static constexpr size_t kWakeAt = kPieces / 2;
  void Run();

  ZipTargetDir& out_;
  std::vector<uint8_t> storage_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<uint8_t*, size_t>> full_;
  std::vector<uint8_t*> free_;
  bool stop_ = false;
  bool draining_ = false;  // Finish() waits: write what waits, however little
  bool failed_ = false;
  std::thread thread_;
};

}  // namespace rix
