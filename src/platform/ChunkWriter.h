#pragma once

#include <QByteArrayView>
#include <cstring>
#include <functional>
#include <vector>

namespace rix {

// Bytes produced a piece at a time, handed on in large pieces: they collect
// in a buffer that stays in the cache, and a piece larger than the buffer
// goes straight through. The caller flushes at the end.
class ChunkWriter {
public:
  using Sink = std::function<void(const char*, qsizetype)>;
  static constexpr qsizetype kSize = 256 * 1024;

  explicit ChunkWriter(const Sink& sink) : sink_(sink), buf_(kSize), p_(buf_.data()) {}

  // Where the next n bytes (at most kSize) go; commit() says where they end.
  // Between the two the caller writes through its own pointer.
  char* reserve(qsizetype n) {
    if (kSize - (p_ - buf_.data()) < n) flush();
    return p_;
  }
  void commit(char* end) { p_ = end; }

  void put(QByteArrayView s) {
    if (s.size() > kSize) {
      flush();
      sink_(s.data(), s.size());
      return;
    }
    char* p = reserve(s.size());
    std::memcpy(p, s.data(), static_cast<size_t>(s.size()));
    p_ = p + s.size();
  }

  void flush() {
    if (p_ != buf_.data()) sink_(buf_.data(), p_ - buf_.data());
    p_ = buf_.data();
  }

private:
  Sink sink_;
  std::vector<char> buf_;
  char* p_;
};

}  // namespace rix
