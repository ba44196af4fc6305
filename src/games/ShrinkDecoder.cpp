#include "games/ShrinkDecoder.h"

#include "games/ZipBitReader.h"

namespace rix {

namespace {

constexpr unsigned kControl = 256;
constexpr unsigned kFirstCode = 257;
constexpr unsigned kMaxBits = 13;
constexpr uint16_t kFree = 0x2000;
constexpr uint16_t kHasChild = 0x4000;
constexpr uint16_t kCodeMask = 0x1FFF;
// A string grows by at most one byte per table entry, so a longer chain is a loop that a
// hostile stream made.
constexpr size_t kMaxChain = (1 << 13) - kFirstCode + 1;

}  // namespace

void ShrinkDecoder::PartialClear() {
  for (unsigned c = kFirstCode; c <= lastAssigned_; ++c) {
    if (parent_[c] & kFree) continue;
    const unsigned p = parent_[c] & kCodeMask;
    if (p >= kFirstCode) parent_[p] |= kHasChild;
  }
  for (unsigned c = kFirstCode; c <= lastAssigned_; ++c) {
    if (parent_[c] & kHasChild)
      parent_[c] &= static_cast<uint16_t>(~kHasChild);
    else
      parent_[c] = kFree;
  }
}

size_t ShrinkDecoder::Emit(unsigned code, uint8_t* out, size_t room) {
  size_t n = 0;
  // An entry whose prefix code was freed and reused takes the prefix's new string, so chains
  // are followed when a code is used, not when it is made.
  while (code >= kFirstCode) {
    if ((parent_[code] & kFree) || n >= kMaxChain) return 0;
    stack_[n++] = value_[code];
    code = parent_[code] & kCodeMask;
  }
  if (code == kControl) return 0;
  stack_[n++] = static_cast<uint8_t>(code);
  if (n > room) return 0;
  for (size_t i = 0; i < n; ++i) out[i] = stack_[n - 1 - i];
  return n;
}

bool ShrinkDecoder::Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
  if (outSize == 0) return true;
  for (unsigned c = 0; c < kCodes; ++c) parent_[c] = kFree;
  lastAssigned_ = kControl;

  ZipBitReader bits(in, inSize);
  unsigned codeBits = 9;
  unsigned prev = bits.Take(codeBits);
  if (bits.Overrun() || prev >= kControl) return false;
  uint8_t prevFirst = static_cast<uint8_t>(prev);
  out[0] = prevFirst;
  size_t pos = 1;
  unsigned search = kFirstCode;

  while (pos < outSize) {
    const unsigned code = bits.Take(codeBits);
    if (bits.Overrun()) return false;
    if (code == kControl) {
      const unsigned sub = bits.Take(codeBits);
      if (bits.Overrun()) return false;
      if (sub == 1) {
        if (++codeBits > kMaxBits) return false;
      } else if (sub == 2) {
        PartialClear();
        search = kFirstCode;
      } else {
        return false;
      }
      continue;
    }
    // The new entry is the previous string plus the first byte of this one. It is entered
    // before decoding so that a code naming it (itself or as a prefix) decodes: its first
    // byte is then the previous string's, and the extension byte is fixed afterwards.
    unsigned fresh = search;
    while (fresh < kCodes && parent_[fresh] != kFree) ++fresh;
    search = fresh + 1;
    const bool adding = fresh < kCodes;
    if (adding) {
      parent_[fresh] = static_cast<uint16_t>(prev);
      value_[fresh] = prevFirst;
    }
    const size_t len = Emit(code, out + pos, outSize - pos);
    if (len == 0) return false;
    const uint8_t first = out[pos];
    if (adding) {
      value_[fresh] = first;
      lastAssigned_ = fresh;
    }
    pos += len;
    prev = code;
    prevFirst = first;
  }
  return true;
}

}  // namespace rix
