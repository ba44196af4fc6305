#pragma once

#include <QtEndian>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rix {

// Least-significant-bit-first reader over a byte span, as the legacy ZIP methods pack their
// codes. Past the end it supplies zero bits but remembers how many, so a decoder can tell a
// stream that ended early from one that ended exactly.
class ZipBitReader {
public:
  ZipBitReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

  // Makes at least 56 bits available to Peek.
  void Refill() {
    if (end_ - p_ >= 8) {
      uint64_t word;
      std::memcpy(&word, p_, 8);
      buf_ |= qFromLittleEndian(word) << count_;
      p_ += (63 - count_) >> 3;
      count_ |= 56;
      return;
    }
    while (count_ <= 56) {
      uint64_t byte = 0;
      if (p_ < end_)
        byte = *p_++;
      else
        padding_ += 8;
      buf_ |= byte << count_;
      count_ += 8;
    }
  }
  // The next n (<= 32) bits; needs a Refill since they were last consumed.
  uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(buf_ & ((uint64_t(1) << n) - 1)); }
  void Drop(unsigned n) {
    buf_ >>= n;
    count_ -= n;
  }
  uint32_t Take(unsigned n) {
    if (count_ < n) Refill();
    const uint32_t v = Peek(n);
    Drop(n);
    return v;
  }
  // True once a bit beyond the end of the data has been consumed.
  bool Overrun() const { return padding_ > count_; }

private:
  const uint8_t* p_;
  const uint8_t* end_;
  uint64_t buf_ = 0;
  unsigned count_ = 0;
  unsigned padding_ = 0;
};

}  // namespace rix
