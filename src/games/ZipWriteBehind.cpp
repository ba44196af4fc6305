#include "games/ZipWriteBehind.h"

#include <pthread.h>
#include <sched.h>

#include "games/ZipTargetDir.h"

namespace rix {

ZipWriteBehind::ZipWriteBehind(ZipTargetDir& out) : out_(out), storage_(kPieces * kPiece) {
  for (size_t i = 0; i < kPieces; ++i) free_.push_back(storage_.data() + i * kPiece);
  thread_ = std::thread([this] {
#ifdef SCHED_BATCH
    const sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);  // a hint: failure is harmless
#endif
    Run();
  });
}

ZipWriteBehind::~ZipWriteBehind() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ZipWriteBehind::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || full_.size() >= (draining_ ? 1 : kWakeAt); });
    if (full_.empty()) return;
    while (!full_.empty()) {
      const auto [piece, size] = full_.front();
      full_.pop_front();
      const bool skip = failed_;
      lock.unlock();
      // After a failure the rest is only given back: the file is abandoned.
      const bool ok = skip || out_.Write(piece, size);
      lock.lock();
      if (!ok) failed_ = true;
      free_.push_back(piece);
      changed_.notify_all();
    }
  }
}

uint8_t* ZipWriteBehind::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failed_ || !free_.empty(); });
  if (failed_) return nullptr;
  uint8_t* piece = free_.back();
  free_.pop_back();
  return piece;
}

void ZipWriteBehind::Put(uint8_t* piece, size_t size) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    full_.emplace_back(piece, size);
    wake = full_.size() >= kWakeAt;
  }
  if (wake) changed_.notify_all();
}

bool ZipWriteBehind::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  draining_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return full_.empty() && free_.size() == kPieces; });
  return !failed_;
}

}  // namespace rix
