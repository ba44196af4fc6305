#pragma once

#include <cstddef>
#include <cstdint>

namespace rix {

// ZIP method 1 ("shrunk"): LZW whose codes start at 9 bits and widen only when the stream says
// so (code 256 then 1), up to 13 bits, and whose table is partially cleared on code 256 then
// 2. Freed codes are reused lowest first.
//
// The clearing follows Info-ZIP unzip, the decoder archives have long been checked with: it
// looks only at codes up to the one assigned last, frees those that are no live entry's
// prefix, and a code above that bound once marked as a prefix keeps the mark (and stays
// unusable while free) until a later clear reaches it. Streams cleared only when the table is
// full decode the same either way.
class ShrinkDecoder {
public:
  // Decodes `in` into exactly `outSize` bytes. False when the stream is corrupt, ends before
  // outSize bytes, or would need more room. Reads at most inSize bytes and writes at most
  // outSize bytes; bits after the last byte needed are ignored.
  bool Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

private:
  static constexpr int kCodes = 1 << 13;

  void PartialClear();
  // Writes the string of `code` to out; its length, or 0 when it cannot be decoded or does
  // not fit in `room`.
  size_t Emit(unsigned code, uint8_t* out, size_t room);

  // Prefix code of each entry, with the flag bits below.
  uint16_t parent_[kCodes];
  uint8_t value_[kCodes];
  uint8_t stack_[kCodes];
  unsigned lastAssigned_ = 0;
};

}  // namespace rix
